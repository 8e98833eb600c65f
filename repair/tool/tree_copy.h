#pragma once

#include "copy_progress.h"
#include "item_location.h"

#include <string>

// Copies the item at from to a new item at to: a folder with all its
// contents, symbolic links as links, holes of sparse files as holes, hard
// links within the tree as hard links, permission bits and times kept.
// Each end is read or written with its own rights. Inside the SDK
// directory new items belong to its owner, never carry set-id bits and are
// not writable by group or others; elsewhere they belong to the user, and
// lose set-id bits when the source belonged to somebody else.
//
// The copy is made under a hidden name beside the destination, created
// exclusively, and renamed into place when complete, never over an
// existing item; on failure what this run created is removed. Every
// source item is read only after checking that it is the one the walk saw,
// so a FIFO, socket or device swapped in fails the copy instead of
// stalling it. Returns "" or the reason, naming the item that failed by
// its place under shown, the source's path as the user gave it.
[[nodiscard]] std::string copyTree(const ItemLocation &from, const ItemLocation &to, CopyProgress &progress,
                     const std::string &shown);


#pragma once

#include "copy_progress.h"
#include "item_location.h"

// Adds what copyTree would copy from the item at from: its items, and the
// bytes of its files, each hard-linked file once. Walks as the copy does
// (same rights, same depth, no link followed); what cannot be read is left
// out, as the copy would fail there.
void addTreeSize(const ItemLocation &from, CopyTotals &totals);

#pragma once

#include <map>
#include <string>

// Every item below a folder, described by what a copy or a restore must
// keep: kind, permission bits, file contents, link targets and, if asked,
// the modification times of files and links. Equal maps, equal trees.
using TreeSnapshot = std::map<std::string, std::string>;

TreeSnapshot snapshotTree(const std::string &root, bool withTimes = false);

// The item at path itself under the key "", and, for a folder, its tree.
TreeSnapshot snapshotItem(const std::string &path);

void writeFile(const std::string &path, const std::string &contents);
std::string readFile(const std::string &path);

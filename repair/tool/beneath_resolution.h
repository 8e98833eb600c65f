#pragma once

#include <string>

// Whether symbolic links on the way may be followed (while they stay beneath).
enum class Links { followBeneath, refuse };

// Opens the folder at relativePath (components separated by "/"; "" is base
// itself) with O_PATH, never leaving base: a link whose target is absolute
// or climbs above base fails with EXDEV, whenever it was planted; with
// Links::refuse any link fails with ELOOP. Returns a descriptor or -1 and
// errno. Uses openat2(RESOLVE_BENEATH) and, where the kernel lacks it, a
// filter refuses it or the path is longer than the kernel takes, a walk
// component by component with the same rules.
int openFolderBeneath(int base, const std::string &relativePath, Links links);

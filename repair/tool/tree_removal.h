#pragma once

#include "file_identity.h"

#include <string>

// Deletes (folder, name) and everything below it with the given rights,
// without following any symbolic link and without going deeper than any
// walk of Tool goes. Nothing there is success. Returns "" or the reason.
[[nodiscard]] std::string removeTree(int folder, const std::string &name, Rights rights);

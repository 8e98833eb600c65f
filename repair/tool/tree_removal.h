#pragma once

#include <string>

// Deletes (folder, name) and everything below it without following any
// symbolic link. Nothing there is success. Returns "" or the reason.
std::string removeTree(int folder, const std::string &name);

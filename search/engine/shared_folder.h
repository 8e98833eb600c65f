#pragma once

#include <unistd.h>

// A folder's descriptor, shared by the headers queued from it and closed
// with the last of them.
struct SharedFolder {
    int descriptor;
    explicit SharedFolder(int descriptor) : descriptor(descriptor) {}
    ~SharedFolder() { close(descriptor); }
    SharedFolder(const SharedFolder &) = delete;
    SharedFolder &operator=(const SharedFolder &) = delete;
};

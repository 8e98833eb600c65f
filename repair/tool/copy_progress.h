#pragma once

#include <cstdint>
#include <sys/types.h>

// Told of every item a copy creates and of the bytes of file data it has
// done (holes included), as the copy goes.
class CopyProgress
{
public:
    virtual ~CopyProgress() = default;
    virtual void advance(std::uint64_t bytes, std::uint64_t items) = 0;
    // The complete copy, by its identity, right before it is put under its
    // own name: whoever must later know it as this run's work hears it here.
    virtual void placing(dev_t, ino_t) {}
};

// What the Copy actions of a list will copy, counted before they run.
struct CopyTotals {
    std::uint64_t bytes = 0;
    std::uint64_t items = 0;
};

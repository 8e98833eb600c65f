#pragma once

#include <cstddef>
#include <memory>
#include <new>

// Bytes for the kernel to copy cached pages into. It copies into a
// page-aligned buffer fastest: malloc's 16-byte offset made every read's
// copy about a seventh slower.
inline constexpr std::align_val_t pageAlignment{4096};

struct PageAlignedDelete {
    void operator()(char *bytes) const { ::operator delete[](bytes, pageAlignment); }
};
using PageAlignedBuffer = std::unique_ptr<char[], PageAlignedDelete>;

// Throws std::bad_alloc, as new does.
inline PageAlignedBuffer makePageAlignedBuffer(std::size_t size)
{
    return PageAlignedBuffer(static_cast<char *>(::operator new[](size, pageAlignment)));
}

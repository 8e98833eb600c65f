#pragma once

#include "page_aligned_buffer.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

struct io_uring;

// Opens, reads and closes several headers with one system call, through
// io_uring, where their pages are in memory: warm, a search's time is
// mostly the kernel's, and crossing into it three times a header costs more
// than anything the crossing does here. The reads must not wait: a header
// whose pages are not all in memory is left to the usual read, as is one
// larger than its buffer, or one whose length the kernel may have cut short
// at a page, and one the batch could not open.
//
// Where io_uring is missing or refused, or the file system refuses reads
// that must not wait (a batch's worth in a row), the batch is not available
// and every header takes the usual read.
class HeaderBatch
{
public:
    static constexpr unsigned size = 16;
    static constexpr std::size_t bufferSize = std::size_t(256) << 10;

    struct Request {
        int folder;
        const char *name;
    };

    HeaderBatch();
    ~HeaderBatch();
    HeaderBatch(const HeaderBatch &) = delete;
    HeaderBatch &operator=(const HeaderBatch &) = delete;

    bool available() const { return m_ring != nullptr; }

    // Reads the headers, at most size of them, each whole or not at all.
    void read(std::span<const Request> requests);
    // The whole of the i-th header of the last read, or nothing where the
    // usual read must do.
    std::optional<std::string_view> contents(unsigned i) const;
    // Whether the i-th header's pages were not all in memory: the disk
    // would have been waited for.
    bool uncached(unsigned i) const;

private:
    void abandon();

    std::unique_ptr<io_uring> m_ring;
    PageAlignedBuffer m_buffers; // made at the first read
    std::array<int, size> m_results{};
    unsigned m_count = 0;
    unsigned m_refusedInARow = 0;
};

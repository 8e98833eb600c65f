#pragma once

#include "shared_folder.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct io_uring;

// Starts reading headers from the disk ahead of the threads that decide
// them, many at a time, while the page cache turns out not to hold them.
//
// A thread that reads a header waits on one read at a time; from a cold
// cache that leaves the disk mostly idle. So for each header queued, one
// io_uring request chain opens it, asks the kernel to read all of it into
// the page cache, and closes it, without waiting for the data: the disk
// gets the whole queue at once, and the deciding threads find the pages
// there, or arriving. Warm, that would only repeat the opens the deciding
// threads make, so it is done only while their reads show the disk's
// latency (reportRead()), judged on headers left to them for the purpose.
// Only regular files are read ahead, never through a link: opening a FIFO
// or a device has effects of its own.
//
// Where io_uring is missing or refused, nothing is read ahead and the
// search runs as it would without this.
class HeaderReadAhead
{
public:
    enum class Mode { WhenCold, Always, Never };

    explicit HeaderReadAhead(Mode mode);
    ~HeaderReadAhead(); // cancels what has not started and waits for the rest
    HeaderReadAhead(const HeaderReadAhead &) = delete;
    HeaderReadAhead &operator=(const HeaderReadAhead &) = delete;

    // Whether requests may be made: not told never, and not refused.
    bool available() const { return m_mode != Mode::Never && !m_refused; }
    // Whether headers are to be read ahead now, refused or not: told
    // always, or the probes show a cold disk. On any thread.
    bool wanted() const { return m_mode == Mode::Always || (m_mode == Mode::WhenCold && cold()); }

    // On the search's thread, as a header is queued. False when it was
    // not read ahead, which makes it a probe: its reader tells by
    // reportRead() how long it waited.
    bool readAhead(const std::shared_ptr<const SharedFolder> &folder, const char *name);

    // On any deciding thread: opening a probe and reading its first piece
    // took this long.
    void reportRead(std::chrono::nanoseconds waited);

    // Headers read ahead so far.
    std::uint64_t headersReadAhead() const { return m_headersReadAhead; }

    // Longer than nearly every open and first read from memory takes, even
    // on a busy machine (a few microseconds), and shorter than nearly every
    // one from a disk.
    static constexpr std::chrono::microseconds diskLatency{50};
    // While reading ahead, one header in this many is left as a probe.
    static constexpr unsigned probeEvery = 16;
    // Headers being read ahead at once.
    static constexpr unsigned depth = 128;
    // Descriptors it may hold: the ring's, and a folder for each header.
    static constexpr unsigned descriptorsHeld = depth + 1;

private:
    struct Slot {
        std::shared_ptr<const SharedFolder> folder; // until the open has run
        std::string name;
        unsigned pending = 0; // completions still to come
    };

    bool cold() const;
    bool start();
    void reap();
    void waitForAll();

    Mode m_mode;
    bool m_refused = false;
    std::unique_ptr<io_uring> m_ring; // made when first needed
    std::array<Slot, depth> m_slots;
    std::vector<unsigned> m_free; // the search's thread alone
    unsigned m_queued = 0;        // headers seen while reading ahead
    unsigned m_inFlight = 0;
    std::uint64_t m_headersReadAhead = 0;
    // The last probes, one bit each, set where the probe waited on the disk.
    std::atomic<unsigned> m_probes{0};
};

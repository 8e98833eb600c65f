#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Lists the folders of a search's trees ahead of its walk, several at a
// time, from a cold disk, and asks the kernel to read their headers into
// the page cache.
//
// The walk lists one folder at a time and waits for each; from a cold
// disk, behind the headers read ahead, those waits add up to a good part
// of the run, and the headers it may queue bound how far ahead the rest
// is read. Threads of their own list the folders in much the walk's order
// (depth first) and advise the kernel to read each header whole, so that
// the disk has many requests at once, and the walk and the deciding
// threads find folders and headers in the cache. Nothing is reported: the
// walk still lists every folder itself, and the deciding threads read
// every header, so what is found and the order it is found in stay theirs.
// They keep at most maxFoldersAhead folders ahead of the walk, so that
// what they read is still in the cache when it is needed.
//
// Listing starts once several of the walk's listings took as long as a
// disk does, and the next headers the walk reaches are not in memory: a busy
// machine holds listings up as a cold disk does, but leaves the cache as it
// is, and listing ahead of a warm cache would only repeat the walk's work on
// threads that take the cores it needs.
//
// Only what the walk would enter is listed: beneath each root, never
// through a link (the kernel resolves every name beneath the root's
// descriptor, refusing links), skipping the frameworks it skips; and only
// headers that are regular files themselves are opened, not links or
// FIFOs. Where that resolution is missing or refused, or the file system
// does not tell an entry's type, nothing beneath is listed; folders found
// beyond maxFoldersWaiting wait for the walk alone.
//
// The threads let go of the trees when told to stop, at the latest after
// the entry in hand: a search never waits for them, not even for one that
// hangs in a file system that does not answer.
class FolderPrefetch
{
public:
    // Threads that list at once.
    static constexpr unsigned threads = 4;
    static constexpr std::uint64_t maxFoldersAhead = 4096;
    static constexpr std::size_t maxFoldersWaiting = 65536;
    // Descriptors it may hold: a folder and a header a thread, and one for
    // each root.
    static constexpr unsigned descriptorsHeld(std::size_t roots) { return 2 * threads + static_cast<unsigned>(roots); }
    // Longer than listing a folder from memory takes, even on a busy
    // machine, and shorter than nearly every listing from a disk.
    static constexpr std::chrono::microseconds diskLatency{100};

    FolderPrefetch(std::vector<std::string> roots, std::vector<std::string> skipFrameworks);
    ~FolderPrefetch(); // stop()
    FolderPrefetch(const FolderPrefetch &) = delete;
    FolderPrefetch &operator=(const FolderPrefetch &) = delete;

    // Starts listing, once.
    void start();
    void stop();
    bool started() const { return m_state != nullptr; }
    // The walk opened and listed a folder in this time: once several of
    // the last few took as long as the disk does, headerReached() decides.
    void folderListed(std::chrono::nanoseconds took);
    // The walk reached a header that is a regular file, name in folder:
    // after slow listings, listing starts once this many headers in a row
    // had their first page out of memory, which the kernel tells without
    // waiting for the disk; one found in memory starts the listings over.
    void headerReached(int folder, const char *name);
    static constexpr unsigned uncachedHeadersToStart = 2;

    // Folders listed so far, and headers in them asked to be read.
    std::uint64_t foldersListed() const;
    std::uint64_t headersReadAhead() const;

private:
    struct State;
    std::vector<std::string> m_roots;
    std::vector<std::string> m_skipFrameworks;
    std::shared_ptr<State> m_state;
    unsigned m_slowListings = 0; // the last few, one bit each
    bool m_listingsSlow = false; // until headers tell whether the disk was the cause
    unsigned m_uncachedHeaders = 0; // in a row, since
    std::uint64_t m_walked = 0;  // folders the walk listed before the start
};

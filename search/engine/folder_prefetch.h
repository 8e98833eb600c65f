#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Lists the folders of a search's trees ahead of its walk, several at a
// time, from a cold disk.
//
// The walk lists one folder at a time and waits for each; from a cold
// disk, behind the headers read ahead, those waits add up to a good part
// of the run. Listing the folders on threads of their own puts their
// blocks in the cache before the walk asks, in much the walk's order
// (depth first). Nothing is reported: the walk still lists every folder
// itself, so what it finds and the order it finds it in stay its own.
//
// Only what the walk would enter is listed: beneath each root, never
// through a link (the kernel resolves every name beneath the root's
// descriptor, refusing links), skipping the frameworks it skips. Where
// that resolution is missing or refused, nothing is listed.
//
// The threads let go of the trees when told to stop, at the latest after
// the folder in hand: a search never waits for them, not even for one that
// hangs in a file system that does not answer.
class FolderPrefetch
{
public:
    // Threads that list at once.
    static constexpr unsigned threads = 4;
    // Descriptors it may hold: one a thread, and one for each root.
    static constexpr unsigned descriptorsHeld(std::size_t roots) { return threads + static_cast<unsigned>(roots); }

    FolderPrefetch(std::vector<std::string> roots, std::vector<std::string> skipFrameworks);
    ~FolderPrefetch(); // stop()
    FolderPrefetch(const FolderPrefetch &) = delete;
    FolderPrefetch &operator=(const FolderPrefetch &) = delete;

    // Longer than listing a folder from memory takes, even on a busy
    // machine, and shorter than nearly every listing from a disk.
    static constexpr std::chrono::microseconds diskLatency{100};

    // Starts listing, once.
    void start();
    // The walk opened and listed a folder in this time: once several of
    // the last few took as long as the disk does, listing starts.
    void folderListed(std::chrono::nanoseconds took);
    void stop();
    bool started() const { return m_state != nullptr; }

    // Folders listed so far.
    std::uint64_t foldersListed() const;

private:
    struct State;
    std::vector<std::string> m_roots;
    std::vector<std::string> m_skipFrameworks;
    std::shared_ptr<State> m_state;
    unsigned m_slowListings = 0; // the last few, one bit each
};

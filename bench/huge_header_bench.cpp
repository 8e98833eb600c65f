// scoutmark-huge-bench [--gib N] [--runs N] [FOLDER]
//
// One SDK holding one sparse header of N GiB (4 by default) whose last line
// holds the search string, searched by the engine as the worker runs it,
// with every kind of option. For each: the time of a whole search and the
// peak resident memory above idle it took; then the median, over the runs,
// of the time from a cancel request, made while the header is being read,
// to the end of the run. The tree goes into FOLDER (default: a new folder in
// /tmp) and is removed at the end; a sparse file takes no room on disk, but
// reading it fills the page cache with N GiB of zeros for a while.

#include "header_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class CancellableSink : public SearchSink
{
public:
    std::atomic<bool> cancel = false;
    std::atomic<bool> started = false; // the run has made its first check
    std::size_t records = 0;
    void arrayAddObject(ResultRecord) override { ++records; }
    bool isCancelled() override
    {
        started = true;
        return cancel;
    }
};

long statusKilobytes(const char *key)
{
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(key);
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, length, key) == 0 && line[length] == ':')
            return std::stol(line.substr(length + 1));
    }
    return 0;
}

// The kernel lets a process reset its own high-water mark.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

int usage()
{
    std::fprintf(stderr, "usage: scoutmark-huge-bench [--gib N] [--runs N] [FOLDER]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    long gib = 4;
    int runs = 5;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--gib") && i + 1 < argc)
            gib = std::atol(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (argv[i][0] != '-' && folder.empty())
            folder = argv[i];
        else
            return usage();
    }
    if (gib < 1 || runs < 1)
        return usage();
    if (folder.empty()) {
        char pattern[] = "/tmp/scoutmark-huge-bench-XXXXXX";
        if (!mkdtemp(pattern))
            return 1;
        folder = pattern;
    }
    namespace fs = std::filesystem;
    const std::string sdks = folder + "/SDKs";
    const std::string header = sdks + "/MacOSX10.14.sdk/usr/include/huge.h";
    fs::create_directories(fs::path(header).parent_path());
    const std::uint64_t size = std::uint64_t(gib) << 30;
    {
        const std::string last = "/* the end */ int NSHugeNeedle; caf\x8E\n";
        const int file = open(header.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (file < 0 || ftruncate(file, static_cast<off_t>(size)) != 0
            || pwrite(file, last.data(), last.size(), static_cast<off_t>(size - last.size())) < 0) {
            std::perror(header.c_str());
            return 1;
        }
        close(file);
    }

    const struct {
        const char *label;
        SearchRequest request;
    } kinds[] = {
        {"plain", {"NSHugeNeedle", "All", false, true}},
        {"case-insensitive", {"nshugeneedle", "All", false, false}},
        {"ignore-comments", {"NSHugeNeedle", "All", true, true}},
        {"ignore-comments case-insensitive", {"nshugeneedle", "All", true, false}},
        {"beyond ASCII, case-insensitive", {"CAF\xC3\x89", "All", false, false}},
    };
    HeaderSearch search(sdks, {"10.14"});
    // Untimed: brings the header into the page cache, where the kernel keeps
    // it as zeros; the first read of a fresh sparse file is far slower.
    {
        CancellableSink warm;
        search.searchHeadersForString(kinds[0].request, warm);
    }
    std::printf("header %ld GiB (sparse), warm page cache, %d cancelled runs per kind\n", gib, runs);
    for (const auto &kind : kinds) {
        // The whole search.
        const long idle = statusKilobytes("VmRSS");
        resetPeak();
        CancellableSink whole;
        const auto start = Clock::now();
        search.searchHeadersForString(kind.request, whole);
        const double wholeMs = milliseconds(Clock::now() - start);
        const long peak = statusKilobytes("VmHWM") - idle;

        // Cancelled while the header is being read: a while after the first
        // piece, so that the read is well under way.
        std::vector<double> latencies;
        long cancelledPeak = 0;
        for (int run = 0; run < runs; ++run) {
            CancellableSink sink;
            resetPeak();
            std::thread worker([&] { search.searchHeadersForString(kind.request, sink); });
            while (!sink.started)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const auto cancelled = Clock::now();
            sink.cancel = true;
            worker.join();
            latencies.push_back(milliseconds(Clock::now() - cancelled));
            cancelledPeak = std::max(cancelledPeak, statusKilobytes("VmHWM") - idle);
        }
        std::sort(latencies.begin(), latencies.end());
        std::printf("  %-34s matches %zu  whole run %8.1f ms  peak above idle %6.1f MiB  "
                    "cancel to end median %6.2f ms (max %6.2f)  peak above idle %6.1f MiB\n",
                    kind.label, whole.records, wholeMs, peak / 1024.0, latencies[latencies.size() / 2],
                    latencies.back(), cancelledPeak / 1024.0);
    }
    fs::remove_all(folder);
    return 0;
}

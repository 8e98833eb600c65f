// scoutmark-bench SDK_DIRECTORY SEARCH_STRING [--sdk TITLE] [--ignore-comments]
//                 [--case-insensitive] [--list] [--threads N]
//                 [--read-ahead when-cold|always|never]
//
// Runs the search engine exactly as the worker thread does (SDK list, walk,
// read, match, sink) and prints one line of figures. With --list, first the
// "Path" of every result record, one per line, in the order delivered. With
// --threads, that many threads decide headers instead of one per core.
// --read-ahead sets whether headers are read ahead from the disk (by
// default while the page cache shows cold).

#include "header_search.h"
#include "sdk_discovery.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <fstream>
#include <vector>

namespace {

class CollectingSink : public SearchSink
{
public:
    std::vector<ResultRecord> records;
    void arrayAddObject(ResultRecord record) override { records.push_back(std::move(record)); }
    bool isCancelled() override { return false; }
};

int usage()
{
    std::fprintf(stderr, "usage: scoutmark-bench SDK_DIRECTORY SEARCH_STRING [--sdk TITLE] "
                         "[--ignore-comments] [--case-insensitive] [--list] [--threads N] "
                         "[--read-ahead when-cold|always|never]\n");
    return 2;
}

// The high-water mark of this process's memory. Not getrusage: its maximum
// survives exec, so it would report the parent that started the benchmark.
long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    SearchRequest request{argv[2], "All", false, true};
    bool list = false;
    std::size_t threads = 0;
    HeaderReadAhead::Mode readAhead = HeaderReadAhead::Mode::WhenCold;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--sdk") && i + 1 < argc)
            request.sdkTitle = argv[++i];
        else if (!std::strcmp(argv[i], "--ignore-comments"))
            request.ignoreComments = true;
        else if (!std::strcmp(argv[i], "--case-insensitive"))
            request.caseSensitive = false;
        else if (!std::strcmp(argv[i], "--list"))
            list = true;
        else if (!std::strcmp(argv[i], "--threads") && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            threads = static_cast<std::size_t>(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--read-ahead") && i + 1 < argc && !std::strcmp(argv[i + 1], "when-cold"))
            ++i;
        else if (!std::strcmp(argv[i], "--read-ahead") && i + 1 < argc && !std::strcmp(argv[i + 1], "always"))
            readAhead = HeaderReadAhead::Mode::Always, ++i;
        else if (!std::strcmp(argv[i], "--read-ahead") && i + 1 < argc && !std::strcmp(argv[i + 1], "never"))
            readAhead = HeaderReadAhead::Mode::Never, ++i;
        else
            return usage();
    }

    const long idleKilobytes = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    HeaderSearch search(argv[1], sortedSDKNums(argv[1]));
    if (threads > 0)
        search.setThreadCount(threads);
    search.setReadAhead(readAhead);
    CollectingSink sink;
    search.searchHeadersForString(request, sink);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;

    if (list) {
        for (const ResultRecord &record : sink.records)
            std::printf("%s\n", record.path.c_str());
    }
    std::printf("headers %llu bytes %llu matches %zu decoded %llu stripped %llu seconds %.4f "
                "peak-kib %ld idle-kib %ld read-ahead %llu folders-ahead %llu\n",
                static_cast<unsigned long long>(search.headersRead()),
                static_cast<unsigned long long>(search.bytesRead()), sink.records.size(),
                static_cast<unsigned long long>(search.counters().headersDecoded),
                static_cast<unsigned long long>(search.counters().headersStripped), seconds.count(),
                peakKilobytes(), idleKilobytes, static_cast<unsigned long long>(search.headersReadAhead()),
                static_cast<unsigned long long>(search.foldersPrefetched()));
    return 0;
}

#pragma once

#include "header_matcher.h"
#include "header_read_ahead.h"
#include "search_types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class WalkVisitor;

// The frameworks whose trees a search never enters.
std::vector<std::string> loadSkipFrameworksArray();

// Where a run starts for an SDK: the folder "MacOSX<osNum>.sdk" of the SDK
// directory or, when that folder is a symbolic link, the folder the file
// system resolves it to. Written with one "/" between components.
std::string sdkFolder(const std::string &sdkDirectory, const std::string &osNum);

// The search run over the SDK folders of one SDK directory.
//
// The walk (TreeWalk) reports every entry below an SDK folder once, depth
// first, each folder before its contents, siblings in the order the folder
// lists them, hidden entries included. Symbolic links are entries of their
// own and are never entered, so each framework header is reached once,
// through its real folder; a link named *.h is read through, though. Each
// header is read and decided by a HeaderReader. After every entry, and
// between the pieces of a large header, the sink is asked whether to stop.
//
// With more than one thread, the headers are decided on several threads
// (HeaderPipeline) and the records still reach the sink in walk order; the
// sink is then also asked after each record and while the run waits.
class HeaderSearch
{
public:
    HeaderSearch(std::string sdkDirectory, std::vector<std::string> sdkNums,
                 std::vector<std::string> skipFrameworks = loadSkipFrameworksArray());

    // The body of a run. True when it ended because it was cancelled.
    bool searchHeadersForString(const SearchRequest &request, SearchSink &sink);

    // How many threads a run decides headers on: searchThreadCount() unless
    // set. One decides each header in turn on the run's own thread.
    void setThreadCount(std::size_t threads) { m_threads = threads; }
    // Whether headers are read ahead of the threads that decide them:
    // while the page cache turns out cold, unless set.
    void setReadAhead(HeaderReadAhead::Mode mode) { m_readAhead = mode; }

    // Totals over every search this object ran.
    const MatchCounters &counters() const { return m_counters; }
    std::uint64_t headersRead() const { return m_headersRead; }
    std::uint64_t bytesRead() const { return m_bytesRead; }
    std::uint64_t headersReadAhead() const { return m_headersReadAhead; }
    // Folders listed ahead of the walk so far, and headers in them asked
    // to be read, besides those read ahead.
    std::uint64_t foldersPrefetched() const { return m_foldersPrefetched; }
    std::uint64_t headersPrefetched() const { return m_headersPrefetched; }

private:
    class Visitor;
    class PipelineVisitor;

    bool searchSDKs(const std::vector<std::string> &osNums, const SearchRequest &request, SearchSink &sink);
    bool searchInTurn(const std::vector<std::string> &osNums, const SearchRequest &request, SearchSink &sink);
    bool searchInPipeline(const std::vector<std::string> &osNums, const SearchRequest &request, SearchSink &sink);
    bool walkSDKs(const std::vector<std::string> &osNums, WalkVisitor &visitor);
    void addTotals(std::uint64_t headersRead, std::uint64_t bytesRead, const MatchCounters &counters);

    std::string m_sdkDirectory;
    std::vector<std::string> m_sdkNums;
    std::vector<std::string> m_skipFrameworks;
    std::size_t m_threads;
    HeaderReadAhead::Mode m_readAhead = HeaderReadAhead::Mode::WhenCold;
    MatchCounters m_counters;
    std::uint64_t m_headersRead = 0;
    std::uint64_t m_bytesRead = 0;
    std::uint64_t m_headersReadAhead = 0;
    std::uint64_t m_foldersPrefetched = 0;
    std::uint64_t m_headersPrefetched = 0;
};

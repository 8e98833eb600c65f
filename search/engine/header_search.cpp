#include "header_search.h"

#include "folder_prefetch.h"
#include "header_pipeline.h"
#include "header_reader.h"
#include "search_threads.h"
#include "tree_walk.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs of slashes made one, and no slash at the end but of "/" itself.
std::string withSingleSlashes(const std::string &path)
{
    std::string result;
    result.reserve(path.size());
    for (const char c : path) {
        if (c != '/' || result.empty() || result.back() != '/')
            result += c;
    }
    if (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

} // namespace

std::string sdkFolder(const std::string &sdkDirectory, const std::string &osNum)
{
    std::string path = withSingleSlashes(sdkDirectory + "/MacOSX" + osNum + ".sdk");
    struct stat status;
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        // Resolved by the file system, as text cannot: ".." in a target
        // climbs from where the link really lies.
        const std::unique_ptr<char, decltype(&std::free)> target(realpath(path.c_str(), nullptr), &std::free);
        if (target)
            path = target.get();
    }
    return path;
}

std::vector<std::string> loadSkipFrameworksArray()
{
    return {"Python.framework", "Ruby.framework", "RubyCocoa.framework", "Tcl.framework",
            "Tk.framework"};
}

// Hands each header the walk reports to the reader, and each match to the sink.
class HeaderSearch::Visitor : public WalkVisitor
{
public:
    Visitor(HeaderReader &reader, SearchSink &sink) : m_reader(reader), m_sink(sink) {}

    Answer header(WalkFolder &folder, const char *name, const std::string &path, bool) override
    {
        const int file = HeaderReader::open(folder.descriptor(), name);
        if (file < 0) // unreadable, which never matches, unless for want of a descriptor
            return descriptorsExhausted(errno) ? Answer::NoDescriptor : Answer::Go;
        const HeaderReader::Verdict verdict = m_reader.decide(file, [this] { return m_sink.isCancelled(); });
        close(file);
        if (verdict == HeaderReader::Verdict::Match)
            m_sink.arrayAddObject({name, path});
        return verdict == HeaderReader::Verdict::Cancelled ? Answer::Stop : Answer::Go;
    }
    bool stopRequested() override { return m_sink.isCancelled(); }

private:
    HeaderReader &m_reader;
    SearchSink &m_sink;
};

// Queues each header the walk reports, with a share of its folder or,
// where descriptors are short, opened; delivers what is decided after
// every entry, before the sink is asked whether to stop.
// Folders that the walk waits for are listed ahead, where that may be.
class HeaderSearch::PipelineVisitor : public WalkVisitor
{
public:
    PipelineVisitor(HeaderPipeline &pipeline, SearchSink &sink, FolderPrefetch *prefetch)
        : m_pipeline(pipeline), m_sink(sink), m_prefetch(prefetch)
    {
    }

    Answer header(WalkFolder &folder, const char *name, const std::string &path, bool regular) override
    {
        if (m_prefetch && regular)
            m_prefetch->headerReached(folder.descriptor(), name);
        if (m_pipeline.opensWhereDecided())
            return m_pipeline.addInFolder(folder.share(), name, path, regular, m_sink) ? Answer::Stop : Answer::Go;
        int file = HeaderReader::open(folder.descriptor(), name);
        bool exhausted = file < 0 && descriptorsExhausted(errno);
        if (exhausted && m_pipeline.release(m_sink)) {
            file = HeaderReader::open(folder.descriptor(), name);
            exhausted = file < 0 && descriptorsExhausted(errno);
        }
        if (file >= 0)
            return m_pipeline.add(file, name, path, m_sink) ? Answer::Stop : Answer::Go;
        if (m_pipeline.cancelled())
            return Answer::Stop;
        // Unreadable, which never matches, unless for want of a descriptor.
        return exhausted ? Answer::NoDescriptor : Answer::Go;
    }
    bool stopRequested() override
    {
        m_pipeline.deliverReady(m_sink);
        if (!m_pipeline.cancelled() && m_sink.isCancelled())
            m_pipeline.cancel();
        return m_pipeline.cancelled();
    }
    bool releaseDescriptors() override { return m_pipeline.release(m_sink); }
    void folderListed(std::chrono::nanoseconds took) override
    {
        if (m_prefetch)
            m_prefetch->folderListed(took);
    }

private:
    HeaderPipeline &m_pipeline;
    SearchSink &m_sink;
    FolderPrefetch *m_prefetch;
};

HeaderSearch::HeaderSearch(std::string sdkDirectory, std::vector<std::string> sdkNums,
                           std::vector<std::string> skipFrameworks)
    : m_sdkDirectory(std::move(sdkDirectory))
    , m_sdkNums(std::move(sdkNums))
    , m_skipFrameworks(std::move(skipFrameworks))
    , m_threads(searchThreadCount())
{
}

bool HeaderSearch::searchHeadersForString(const SearchRequest &request, SearchSink &sink)
{
    if (request.sdkTitle != "All")
        return searchSDKs({request.sdkTitle}, request, sink);
    return searchSDKs(m_sdkNums, request, sink);
}

// The SDKs one after another, in the order given; a cancel ends the run.
bool HeaderSearch::searchSDKs(const std::vector<std::string> &osNums, const SearchRequest &request,
                              SearchSink &sink)
{
    if (osNums.empty())
        return false;
    if (m_threads <= 1)
        return searchInTurn(osNums, request, sink);
    return searchInPipeline(osNums, request, sink);
}

bool HeaderSearch::searchInTurn(const std::vector<std::string> &osNums, const SearchRequest &request,
                                SearchSink &sink)
{
    HeaderMatcher matcher(request.searchString, request.ignoreComments, request.caseSensitive);
    HeaderReader reader(matcher);
    Visitor visitor(reader, sink);
    const bool cancelled = walkSDKs(osNums, visitor);
    addTotals(reader.headersRead(), reader.bytesRead(), matcher.counters());
    return cancelled;
}

// One pipeline for the whole run: the next SDK's headers queue behind the
// last one's.
bool HeaderSearch::searchInPipeline(const std::vector<std::string> &osNums, const SearchRequest &request,
                                    SearchSink &sink)
{
    HeaderPipeline pipeline(request, m_threads - 1, m_readAhead);
    std::vector<std::string> roots;
    for (const std::string &osNum : osNums)
        roots.push_back(sdkFolder(m_sdkDirectory, osNum));
    FolderPrefetch prefetch(roots, m_skipFrameworks);
    // Read ahead always (as tests ask), the folders are listed ahead from the start too.
    const bool mayPrefetch = m_readAhead != HeaderReadAhead::Mode::Never
                             && pipeline.sparesDescriptors(FolderPrefetch::descriptorsHeld(roots.size()));
    if (mayPrefetch && m_readAhead == HeaderReadAhead::Mode::Always)
        prefetch.start();
    PipelineVisitor visitor(pipeline, sink, mayPrefetch ? &prefetch : nullptr);
    bool cancelled = walkSDKs(osNums, visitor);
    prefetch.stop();
    m_foldersPrefetched += prefetch.foldersListed();
    m_headersPrefetched += prefetch.headersReadAhead();
    cancelled = pipeline.settle(sink) || cancelled;
    pipeline.end();
    addTotals(pipeline.headersRead(), pipeline.bytesRead(), pipeline.counters());
    m_headersReadAhead += pipeline.headersReadAhead();
    return cancelled;
}

bool HeaderSearch::walkSDKs(const std::vector<std::string> &osNums, WalkVisitor &visitor)
{
    TreeWalk walk(m_skipFrameworks);
    bool cancelled = false;
    for (auto osNum = osNums.begin(); osNum != osNums.end() && !cancelled; ++osNum)
        cancelled = walk.run(sdkFolder(m_sdkDirectory, *osNum), visitor);
    return cancelled;
}

void HeaderSearch::addTotals(std::uint64_t headersRead, std::uint64_t bytesRead, const MatchCounters &counters)
{
    m_headersRead += headersRead;
    m_bytesRead += bytesRead;
    m_counters += counters;
}

#include "header_search.h"

#include "header_reader.h"
#include "tree_walk.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

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

    bool header(int folder, const char *name, const std::string &path) override
    {
        switch (m_reader.decide(folder, name, m_sink)) {
        case HeaderReader::Verdict::Match:
            m_sink.arrayAddObject({name, path});
            return false;
        case HeaderReader::Verdict::Cancelled:
            return true;
        case HeaderReader::Verdict::NoMatch:
        case HeaderReader::Verdict::Unreadable:
            return false;
        }
        return false;
    }
    bool stopRequested() override { return m_sink.isCancelled(); }

private:
    HeaderReader &m_reader;
    SearchSink &m_sink;
};

HeaderSearch::HeaderSearch(std::string sdkDirectory, std::vector<std::string> sdkNums,
                           std::vector<std::string> skipFrameworks)
    : m_sdkDirectory(std::move(sdkDirectory))
    , m_sdkNums(std::move(sdkNums))
    , m_skipFrameworks(std::move(skipFrameworks))
{
}

bool HeaderSearch::searchHeadersForString(const SearchRequest &request, SearchSink &sink)
{
    if (request.sdkTitle != "All")
        return searchSDK(request.sdkTitle, request.searchString, request.ignoreComments,
                         request.caseSensitive, sink);
    for (const std::string &osNum : m_sdkNums) {
        if (searchSDK(osNum, request.searchString, request.ignoreComments, request.caseSensitive, sink))
            return true;
    }
    return false;
}

bool HeaderSearch::searchSDK(const std::string &osNum, const std::string &searchString,
                             bool ignoreComments, bool caseSensitive, SearchSink &sink)
{
    HeaderMatcher matcher(searchString, ignoreComments, caseSensitive);
    HeaderReader reader(matcher);
    Visitor visitor(reader, sink);
    TreeWalk walk(m_skipFrameworks);
    const bool cancelled = walk.run(sdkFolder(m_sdkDirectory, osNum), visitor);
    m_headersRead += reader.headersRead();
    m_bytesRead += reader.bytesRead();
    m_counters.headersDecoded += matcher.counters().headersDecoded;
    m_counters.headersStripped += matcher.counters().headersStripped;
    return cancelled;
}

#include "header_search.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What follows the last dot of a name; a name's leading dot starts none.
std::string_view extensionOf(std::string_view name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return name.substr(dot + 1);
}

// Where a run starts for an SDK folder: a symbolic link is followed to its
// target, link by link, so records lie under the folder really walked.
std::string resolvedFolder(std::string path)
{
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error)))
            return path;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return path;
        path = target.is_absolute() ? target.lexically_normal().string()
                                    : (fs::path(path).parent_path() / target).lexically_normal().string();
    }
    return path;
}

} // namespace

std::vector<std::string> loadSkipFrameworksArray()
{
    return {"Python.framework", "Ruby.framework", "RubyCocoa.framework", "Tcl.framework",
            "Tk.framework"};
}

class HeaderSearch::Walk
{
public:
    Walk(HeaderSearch &search, HeaderMatcher &matcher, SearchSink &sink)
        : m_search(search), m_matcher(matcher), m_sink(sink)
    {
    }

    // True when cancelled.
    bool run(const std::string &root)
    {
        const int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0)
            return false;
        m_path = root;
        return walkFolder(folder);
    }

private:
    // Takes ownership of folder. True when cancelled.
    bool walkFolder(int folder)
    {
        DIR *listing = fdopendir(folder);
        if (!listing) {
            close(folder);
            return false;
        }
        bool cancelled = false;
        while (const dirent *entry = readdir(listing)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            const std::size_t length = m_path.size();
            m_path.append("/").append(name);
            cancelled = visit(dirfd(listing), name, entry->d_type);
            m_path.resize(length);
            if (cancelled)
                break;
        }
        closedir(listing);
        return cancelled;
    }

    bool visit(int folder, std::string_view name, unsigned char type)
    {
        if (type == DT_UNKNOWN) {
            struct stat status;
            if (fstatat(folder, name.data(), &status, AT_SYMLINK_NOFOLLOW) != 0)
                return m_sink.isCancelled();
            type = S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
        }
        if (type == DT_DIR) {
            const bool skipped = extensionOf(name) == "framework"
                                 && std::find(m_search.m_skipFrameworks.begin(),
                                              m_search.m_skipFrameworks.end(), name)
                                        != m_search.m_skipFrameworks.end();
            if (m_sink.isCancelled())
                return true;
            if (skipped)
                return false;
            const int inner = openat(folder, name.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            return inner >= 0 && walkFolder(inner);
        }
        if (extensionOf(name) == "h" && readHeader(folder, name) && m_matcher.matches(m_text))
            m_sink.arrayAddObject({std::string(name), m_path});
        return m_sink.isCancelled();
    }

    // The whole file, through a link if it is one, into the reused buffer.
    bool readHeader(int folder, std::string_view name)
    {
        const int file = openat(folder, name.data(), O_RDONLY | O_CLOEXEC);
        if (file < 0)
            return false;
        std::size_t size = 0;
        bool ok = true;
        for (;;) {
            if (m_buffer.size() - size < 65536)
                m_buffer.resize(std::max<std::size_t>(m_buffer.size() * 2, 1 << 20));
            const ssize_t n = read(file, m_buffer.data() + size, m_buffer.size() - size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            size += static_cast<std::size_t>(n);
        }
        close(file);
        ++m_search.m_headersRead;
        m_search.m_bytesRead += size;
        m_text = std::string_view(m_buffer.data(), size);
        return ok;
    }

    HeaderSearch &m_search;
    HeaderMatcher &m_matcher;
    SearchSink &m_sink;
    std::string m_path;
    std::string m_buffer;
    std::string_view m_text;
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
    Walk walk(*this, matcher, sink);
    const bool cancelled = walk.run(resolvedFolder(m_sdkDirectory + "/MacOSX" + osNum + ".sdk"));
    m_counters.headersDecoded += matcher.counters().headersDecoded;
    m_counters.headersStripped += matcher.counters().headersStripped;
    return cancelled;
}

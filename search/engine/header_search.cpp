#include "header_search.h"

#include <algorithm>
#include <deque>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// The walk reads folders with getdents64, which gives every entry's type
// without a stat, and reaches entries by openat from their folder's
// descriptor, so no path is resolved twice. A header costs an open, one read
// when it fits the buffer, and a close.
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
        return walkFolder(folder, 0);
    }

private:
    struct Listing {
        std::vector<char> buffer = std::vector<char>(32 * 1024);
    };

    // Takes ownership of folder. True when cancelled.
    bool walkFolder(int folder, std::size_t depth)
    {
        if (m_listings.size() <= depth)
            m_listings.emplace_back();
        bool cancelled = false;
        for (;;) {
            // Each depth has its own buffer: the entries of a folder are
            // still being visited while its subfolders are listed.
            std::vector<char> &buffer = m_listings[depth].buffer;
            const long length = syscall(SYS_getdents64, folder, buffer.data(), buffer.size());
            if (length <= 0)
                break;
            for (long offset = 0; offset < length && !cancelled;) {
                const auto *entry = reinterpret_cast<const dirent64 *>(m_listings[depth].buffer.data() + offset);
                offset += entry->d_reclen;
                const std::string_view name = entry->d_name;
                if (name == "." || name == "..")
                    continue;
                const std::size_t before = m_path.size();
                m_path.append("/").append(name);
                cancelled = visit(folder, name, entry->d_type, depth);
                m_path.resize(before);
            }
            if (cancelled)
                break;
        }
        close(folder);
        return cancelled;
    }

    bool visit(int folder, std::string_view name, unsigned char type, std::size_t depth)
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
            return inner >= 0 && walkFolder(inner, depth + 1);
        }
        if (extensionOf(name) == "h" && readHeader(folder, name) && m_matcher.matches(m_text))
            m_sink.arrayAddObject({std::string(name), m_path});
        return m_sink.isCancelled();
    }

    // The whole file, through a link if it is one, into the reused buffer.
    // A regular file answers a read short only at its end, so a file that
    // fits is read once. Non-blocking, so that a link to a pipe cannot stall
    // the search; a device that never ends is cut off at its first buffer.
    bool readHeader(int folder, std::string_view name)
    {
        const int file = openat(folder, name.data(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (file < 0)
            return false;
        if (m_buffer.empty())
            m_buffer.resize(1 << 20);
        std::size_t size = 0;
        bool ok = true;
        for (;;) {
            const ssize_t n = read(file, m_buffer.data() + size, m_buffer.size() - size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            size += static_cast<std::size_t>(n);
            if (size < m_buffer.size())
                break;
            struct stat status;
            if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
                ok = false;
                break;
            }
            m_buffer.resize(std::max<std::size_t>(m_buffer.size() * 2,
                                                  static_cast<std::size_t>(status.st_size) + 1));
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
    std::deque<Listing> m_listings; // stable: a deeper level may be added during a visit
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

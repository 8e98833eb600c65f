#pragma once

// What the engine's tests share: a sink that records a run, a temporary SDK
// directory, runs with few descriptors, and runs in a child process.

#include "header_search.h"
#include "search_types.h"
#include "tree_snapshot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Keeps every record, counts the cancellation checks, cancels when told, and
// counts the records that arrive after it has answered yes.
class RecordingSink : public SearchSink
{
public:
    std::vector<ResultRecord> records;
    int checks = 0;
    int recordsAfterCancel = 0;
    std::function<bool(const RecordingSink &)> cancelWhen = [](const RecordingSink &) { return false; };

    void arrayAddObject(ResultRecord record) override
    {
        recordsAfterCancel += m_cancelled ? 1 : 0;
        records.push_back(std::move(record));
    }
    bool isCancelled() override
    {
        ++checks;
        m_cancelled = m_cancelled || cancelWhen(*this);
        return m_cancelled;
    }

    std::vector<std::string> paths() const
    {
        std::vector<std::string> result;
        for (const ResultRecord &record : records)
            result.push_back(record.path);
        return result;
    }
    std::set<std::string> names() const
    {
        std::set<std::string> result;
        for (const ResultRecord &record : records)
            result.insert(record.name);
        return result;
    }

private:
    bool m_cancelled = false;
};

inline const std::string needle = "NSNeedle";
// The usual request: the needle in every SDK, comments and all, in its case.
inline const SearchRequest needleRequest{needle, "All", false, true};

// A run that nothing cancels, as it reports.
inline RecordingSink searched(HeaderSearch &search, const SearchRequest &request = needleRequest)
{
    RecordingSink sink;
    EXPECT_FALSE(search.searchHeadersForString(request, sink)) << "not cancelled";
    return sink;
}

// The descriptor limit that leaves this process exactly free descriptors.
inline rlim_t limitLeaving(int free)
{
    std::set<int> open;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        open.insert(std::stoi(entry.path().filename().string()));
    // Not the one the listing itself held.
    std::erase_if(open, [](int descriptor) { return fcntl(descriptor, F_GETFD) == -1; });
    int number = 0;
    for (int left = free; left > 0; ++number)
        left -= open.count(number) ? 0 : 1;
    return static_cast<rlim_t>(number);
}

// A run with only free descriptors left to this process while it lasts.
inline RecordingSink searchedLeaving(int free, HeaderSearch &search, const SearchRequest &request = needleRequest)
{
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit few{limitLeaving(free), saved.rlim_max};
    EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    RecordingSink sink = searched(search, request);
    setrlimit(RLIMIT_NOFILE, &saved);
    return sink;
}

// Runs body in a child process and gives its wait status; body's answer is
// the child's exit status, 77 when the child could not set up its case. An
// exception that leaves body ends the child as it would end a worker thread.
inline int inChild(const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit([&]() noexcept { return body(); }());
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

inline std::string describeStatus(int status)
{
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

// An SDK directory of its own in a temporary folder, removed with all it
// holds, also the folders a test made unreadable.
class TemporarySdks
{
public:
    std::string root;
    std::string sdks;

    TemporarySdks()
    {
        char pattern[] = "/tmp/scoutmark-sdks-XXXXXX";
        root = std::filesystem::canonical(mkdtemp(pattern)).string();
        sdks = root + "/SDKs";
        std::filesystem::create_directories(sdks);
    }
    ~TemporarySdks()
    {
        namespace fs = std::filesystem;
        for (const auto &entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        }
        fs::remove_all(root);
    }

    void header(const std::string &path, const std::string &text = "int " + needle + ";\n")
    {
        writeFile(sdks + "/" + path, text);
    }
};

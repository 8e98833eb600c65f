// A stand-in for Tool that speaks its output protocol, for the window's
// tests: "started"; "total <bytes> 0" counted before the first action;
// "progress" at most five times a second and once at the end; "failed
// <position> <reason>" per failed action. It copies, moves and removes with
// plain calls. The window sends only whole lists of known verbs, so it
// checks none and refuses none.
//
// STAND_IN_HOLD names a file: once half of the bytes are copied (at once
// when there are none), the stand-in waits until that file exists, so that
// a test sees a run under way without depending on time.

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bytes only: the window counts items only when there are no bytes to
// copy, which no test of it asks for; the items are reported as 0.
long long totalBytes = 0, doneBytes = 0;
auto lastProgress = std::chrono::steady_clock::time_point();
bool held = false;

void line(const std::string &text)
{
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void progress(bool always)
{
    const auto now = std::chrono::steady_clock::now();
    if (!always && now - lastProgress < std::chrono::milliseconds(200))
        return;
    lastProgress = now;
    line("progress " + std::to_string(doneBytes) + " 0");
}

void holdHalfway()
{
    const char *hold = std::getenv("STAND_IN_HOLD");
    if (held || !hold || doneBytes * 2 < totalBytes)
        return;
    held = true;
    progress(true);
    // A test that has ended and taken its folder away releases it too.
    while (!fs::exists(hold) && fs::exists(fs::path(hold).parent_path()))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

long long bytesIn(const fs::path &source)
{
    std::error_code error;
    const auto status = fs::symlink_status(source, error);
    if (fs::is_regular_file(status))
        return static_cast<long long>(fs::file_size(source, error));
    long long bytes = 0;
    if (fs::is_directory(status)) {
        for (auto it = fs::recursive_directory_iterator(source, error); !error && it != fs::recursive_directory_iterator();
             it.increment(error)) {
            if (it->is_regular_file(error) && !it->is_symlink(error))
                bytes += static_cast<long long>(it->file_size(error));
        }
    }
    return bytes;
}

void copyItem(const fs::path &source, const fs::path &destination)
{
    const auto status = fs::symlink_status(source);
    if (fs::is_symlink(status)) {
        fs::copy_symlink(source, destination);
    } else if (fs::is_directory(status)) {
        fs::create_directory(destination, source);
        for (const auto &entry : fs::directory_iterator(source))
            copyItem(entry.path(), destination / entry.path().filename());
    } else {
        fs::copy_file(source, destination);
        doneBytes += static_cast<long long>(fs::file_size(source));
    }
    progress(false);
    holdHalfway();
}

} // namespace

int main(int argc, char **argv)
{
    line("started");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (std::size_t i = 0; i + 2 < arguments.size(); i += 3) {
        if (arguments[i] == "Copy")
            totalBytes += bytesIn(arguments[i + 1]);
    }
    line("total " + std::to_string(totalBytes) + " 0");
    holdHalfway();

    int status = 0;
    for (std::size_t i = 0; i + 2 < arguments.size(); i += 3) {
        const std::string &verb = arguments[i], &first = arguments[i + 1], &second = arguments[i + 2];
        std::string what = verb + " \"" + first + '"' + (second.empty() ? "" : " to \"" + second + '"');
        try {
            std::error_code missing;
            if (verb != "Remove" && fs::exists(fs::symlink_status(second, missing)))
                throw fs::filesystem_error("", std::make_error_code(std::errc::file_exists));
            if (verb == "Copy") {
                copyItem(first, second);
            } else if (verb == "Move") {
                fs::rename(first, second);
            } else if (fs::remove_all(first) == 0) {
                throw fs::filesystem_error("", std::make_error_code(std::errc::no_such_file_or_directory));
            }
        } catch (const fs::filesystem_error &error) {
            line("failed " + std::to_string(i / 3 + 1) + ' ' + what + " failed: " + std::strerror(error.code().value()));
            status = 1;
        }
    }
    progress(true);
    return status;
}

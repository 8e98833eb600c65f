#include "tree_snapshot.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string describe(const fs::path &path, bool withTimes)
{
    struct stat status;
    if (lstat(path.c_str(), &status) != 0)
        return "unreadable";
    std::ostringstream text;
    text << std::oct << (status.st_mode & 07777) << std::dec << ' ';
    if (S_ISDIR(status.st_mode))
        return text.str() + "folder";
    if (S_ISLNK(status.st_mode))
        text << "link -> " << fs::read_symlink(path).string();
    else if (S_ISREG(status.st_mode))
        text << "file \"" << readFile(path) << '"';
    else
        text << "other";
    if (withTimes)
        text << " mtime " << status.st_mtim.tv_sec << '.' << status.st_mtim.tv_nsec;
    return text.str();
}

} // namespace

TreeSnapshot snapshotTree(const std::string &root, bool withTimes)
{
    TreeSnapshot snapshot;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error))
        snapshot[it->path().lexically_relative(root).string()] = describe(it->path(), withTimes);
    return snapshot;
}

TreeSnapshot snapshotItem(const std::string &path)
{
    TreeSnapshot snapshot = snapshotTree(path);
    snapshot[""] = describe(path, false);
    return snapshot;
}

void writeFile(const std::string &path, const std::string &contents)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#include "tree_walk.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string_view>
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

} // namespace

bool isHeaderName(std::string_view name)
{
    return extensionOf(name) == "h";
}

bool isSkippedFolder(std::string_view name, const std::vector<std::string> &skipFrameworks)
{
    return extensionOf(name) == "framework"
           && std::find(skipFrameworks.begin(), skipFrameworks.end(), name) != skipFrameworks.end();
}

TreeWalk::TreeWalk(std::vector<std::string> skipFrameworks)
    : m_skipFrameworks(std::move(skipFrameworks))
    , m_scratch(32 * 1024)
{
}

TreeWalk::~TreeWalk()
{
    closeAll();
}

bool TreeWalk::run(const std::string &root, WalkVisitor &visitor)
{
    closeAll();
    m_maxOpen = maxOpenFolders;
    const int descriptor = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    // The root "/" has no name of its own before the slash of its entries.
    m_path = root;
    if (!m_path.empty() && m_path.back() == '/')
        m_path.pop_back();
    if (!enter(descriptor))
        return false;
    bool stopped = false;
    while (m_depth > 0 && !stopped)
        stopped = step(visitor);
    closeAll();
    return stopped;
}

bool TreeWalk::step(WalkVisitor &visitor)
{
    Level &level = m_levels[m_depth - 1];
    if (level.next >= level.listing.size()) {
        leave(visitor);
        return false;
    }
    const auto *entry = reinterpret_cast<const dirent64 *>(level.listing.data() + level.next);
    level.next += entry->d_reclen;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..")
        return false;
    m_path.resize(level.pathLength);
    m_path.append("/").append(name);

    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
        struct stat status;
        if (fstatat(level.descriptor, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return visitor.stopRequested();
        type = static_cast<unsigned char>(IFTODT(status.st_mode));
    }
    if (type == DT_DIR) {
        const bool skipped = isSkippedFolder(name, m_skipFrameworks);
        if (visitor.stopRequested())
            return true;
        if (!skipped)
            descend(entry->d_name, visitor);
        return false;
    }
    if (isHeaderName(name)) {
        const bool regular = type == DT_REG;
        WalkFolder folder(level.descriptor, level.shared);
        WalkVisitor::Answer answer = visitor.header(folder, entry->d_name, m_path, regular);
        while (answer == WalkVisitor::Answer::NoDescriptor && spareDescriptor())
            answer = visitor.header(folder, entry->d_name, m_path, regular);
        if (answer == WalkVisitor::Answer::Stop)
            return true;
    }
    return visitor.stopRequested();
}

bool TreeWalk::enter(int descriptor)
{
    struct stat status;
    if (fstat(descriptor, &status) != 0) {
        close(descriptor);
        return false;
    }
    // Reached again through a mount of one of its ancestors: left alone.
    for (std::size_t i = 0; i < m_depth; ++i) {
        if (m_levels[i].device == status.st_dev && m_levels[i].inode == status.st_ino) {
            close(descriptor);
            return false;
        }
    }
    if (m_levels.size() == m_depth)
        m_levels.emplace_back();
    Level &level = m_levels[m_depth++];
    level.descriptor = descriptor;
    level.device = status.st_dev;
    level.inode = status.st_ino;
    level.pathLength = m_path.size();
    ++m_open;
    list(level);
    if (m_open > m_maxOpen)
        closeShallowest();
    return true;
}

void TreeWalk::descend(const char *name, WalkVisitor &visitor)
{
    const int parent = m_levels[m_depth - 1].descriptor;
    const auto openFolder = [&] { return openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC); };
    const auto outOfDescriptors = [](int descriptor) { return descriptor < 0 && descriptorsExhausted(errno); };
    const auto started = std::chrono::steady_clock::now();
    int descriptor = openFolder();
    bool exhausted = outOfDescriptors(descriptor);
    const bool timed = !exhausted; // a wait for descriptors is no wait on the disk
    if (exhausted && visitor.releaseDescriptors()) {
        descriptor = openFolder();
        exhausted = outOfDescriptors(descriptor);
    }
    if (exhausted) {
        // The process has fewer descriptors than the walk would hold: from
        // here on it holds one less than it has now, which leaves one for a
        // header beside its deepest folder.
        m_maxOpen = std::max(1, m_open - 1);
        while (m_open >= m_maxOpen && closeShallowest()) {
        }
        descriptor = openFolder();
    }
    if (descriptor >= 0 && enter(descriptor) && timed)
        visitor.folderListed(std::chrono::steady_clock::now() - started);
}

// A folder that cannot be listed in full, for want of memory, counts as
// unreadable, like one the system refuses to list.
void TreeWalk::list(Level &level)
{
    level.next = 0;
    level.listing.clear();
    try {
        for (;;) {
            const long length = syscall(SYS_getdents64, level.descriptor, m_scratch.data(), m_scratch.size());
            if (length <= 0)
                break;
            level.listing.insert(level.listing.end(), m_scratch.data(), m_scratch.data() + length);
        }
    } catch (const std::bad_alloc &) {
        level.listing.clear();
        level.listing.shrink_to_fit();
    }
}

void TreeWalk::leave(WalkVisitor &visitor)
{
    Level &level = m_levels[m_depth - 1];
    if (m_depth >= 2 && m_levels[m_depth - 2].descriptor < 0) {
        Level &parent = m_levels[m_depth - 2];
        const auto openParent = [&] { return openat(level.descriptor, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC); };
        int descriptor = openParent();
        if (descriptor < 0 && descriptorsExhausted(errno) && visitor.releaseDescriptors())
            descriptor = openParent();
        struct stat status;
        if (descriptor < 0 || fstat(descriptor, &status) != 0 || status.st_dev != parent.device
            || status.st_ino != parent.inode) {
            // The tree moved while it was walked; where the rest of it is
            // cannot be told, so the walk ends here.
            if (descriptor >= 0)
                close(descriptor);
            closeAll();
            return;
        }
        parent.descriptor = descriptor;
        ++m_open;
    }
    closeLevel(level);
    --m_open;
    --m_depth;
}

// A shared descriptor is closed by its last holder.
void TreeWalk::closeLevel(Level &level)
{
    if (level.shared)
        level.shared.reset();
    else
        close(level.descriptor);
    level.descriptor = -1;
}

bool TreeWalk::closeShallowest()
{
    // The deepest folder stays open: its entries are being visited.
    for (std::size_t i = 0; i + 1 < m_depth; ++i) {
        if (m_levels[i].descriptor >= 0) {
            closeLevel(m_levels[i]);
            --m_open;
            return true;
        }
    }
    return false;
}

// A header beside the deepest folder found no descriptor: from here on the
// walk holds one fewer.
bool TreeWalk::spareDescriptor()
{
    if (!closeShallowest())
        return false;
    m_maxOpen = std::max(1, m_open);
    return true;
}

void TreeWalk::closeAll()
{
    for (std::size_t i = 0; i < m_depth; ++i) {
        if (m_levels[i].descriptor >= 0)
            closeLevel(m_levels[i]);
    }
    m_depth = 0;
    m_open = 0;
}

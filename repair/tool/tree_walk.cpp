#include "tree_walk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

std::string FolderNames::read(int folder)
{
    // Not on the stack, which a caller may have made small.
    alignas(dirent64) static char buffer[32768];
    for (;;) {
        const ssize_t size = getdents64(folder, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0)
            return std::strerror(errno);
        if (size == 0)
            return {};
        for (ssize_t at = 0; at < size;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + at);
            at += entry->d_reclen;
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                append(entry->d_name, std::strlen(entry->d_name) + 1);
        }
    }
}

// Blocks from 4 KiB, for the many small folders, to 1 MiB, for the few large ones.
void FolderNames::append(const char *name, std::size_t length)
{
    if (m_blocks.empty() || m_blocks.back().used + length > m_blocks.back().size) {
        const std::size_t size = std::max(length, m_blocks.empty() ? std::size_t(4096)
                                                                   : std::min(m_blocks.back().size * 2, std::size_t(1) << 20));
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(size), size, 0});
    }
    Block &block = m_blocks.back();
    std::memcpy(block.names.get() + block.used, name, length);
    block.used += length;
}

void FolderNames::advance()
{
    m_at += std::strlen(current()) + 1;
    if (m_at == m_blocks[m_block].used) {
        ++m_block;
        m_at = 0;
    }
}

UniqueFd openSeenItem(int folder, const std::string &name, const struct stat &seen,
                      struct stat &status, std::string &reason)
{
    const int folderFlag = S_ISDIR(seen.st_mode) ? O_DIRECTORY : 0;
    UniqueFd item(openat(folder, name.c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | folderFlag));
    if (!item) {
        reason = std::strerror(errno);
        return item;
    }
    if (fstat(item.get(), &status) != 0) {
        reason = std::strerror(errno);
        item.reset();
    } else if ((status.st_mode & S_IFMT) != (seen.st_mode & S_IFMT) || status.st_dev != seen.st_dev
               || status.st_ino != seen.st_ino) {
        reason = "it was replaced while being copied";
        item.reset();
    }
    return item;
}

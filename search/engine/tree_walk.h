#pragma once

#include "shared_folder.h"

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// Whether an error tells that the process, or the system, has no
// descriptor left to give.
inline bool descriptorsExhausted(int error)
{
    return error == EMFILE || error == ENFILE;
}

// The walk's rules for names: a header's extension is exactly "h", and a
// folder named "*.framework" that skipFrameworks names is not entered.
bool isHeaderName(std::string_view name);
bool isSkippedFolder(std::string_view name, const std::vector<std::string> &skipFrameworks);

// The folder whose entries a walk reports, as the walk holds it.
class WalkFolder
{
public:
    WalkFolder(int &descriptor, std::shared_ptr<const SharedFolder> &shared)
        : m_descriptor(descriptor), m_shared(shared)
    {
    }
    int descriptor() const { return m_descriptor; }
    // A share of the walk's own descriptor, which stays open after the
    // walk has let it go until the last share is let go too.
    std::shared_ptr<const SharedFolder> share()
    {
        if (!m_shared)
            m_shared = std::make_shared<const SharedFolder>(m_descriptor);
        return m_shared;
    }

private:
    int &m_descriptor;
    std::shared_ptr<const SharedFolder> &m_shared;
};

// What a walk reports to, on the thread that walks.
class WalkVisitor
{
public:
    enum class Answer {
        Go,
        Stop,
        // The header could not be opened for want of a descriptor, and the
        // visitor has none to give back: the walk gives back one of its
        // own and reports the header again, or, holding none it can spare,
        // goes on without it.
        NoDescriptor,
    };

    virtual ~WalkVisitor() = default;
    // An entry that is not a folder and whose extension is exactly "h".
    // folder holds it, its descriptor valid for the call unless shared;
    // regular, whether the entry is a regular file itself, not a link or a
    // FIFO, socket or device.
    virtual Answer header(WalkFolder &folder, const char *name, const std::string &path, bool regular) = 0;
    // Asked after every entry walked; true stops the walk.
    virtual bool stopRequested() = 0;
    // The process has run out of descriptors: the visitor closes those it
    // holds, if it can. True when it closed any.
    virtual bool releaseDescriptors() { return false; }
    // A folder was entered: opening and listing it took this long.
    virtual void folderListed(std::chrono::nanoseconds) {}
};

// Lists the tree below a folder and reports its headers: every entry once,
// depth first, each folder before its contents, siblings in the order the
// folder lists them, hidden entries included. Symbolic links are entries of
// their own and are never entered; the folders of the skip list are not
// entered either. Paths have one "/" between components when the root has.
//
// Each folder is listed whole when it is entered, so that its descriptor can
// be closed while its subfolders are walked: at most a few descriptors are
// open at any depth, and a closed folder is opened again through ".." of its
// child on the way back. A folder that is already on the current path (the
// same device and inode, as a mount of a folder inside itself makes it) is
// not entered again.
class TreeWalk
{
public:
    explicit TreeWalk(std::vector<std::string> skipFrameworks);
    ~TreeWalk();
    TreeWalk(const TreeWalk &) = delete;
    TreeWalk &operator=(const TreeWalk &) = delete;

    // True when the visitor stopped it.
    bool run(const std::string &root, WalkVisitor &visitor);

    // Descriptors of folders held open at most; fewer when the process
    // runs short of them.
    static constexpr int maxOpenFolders = 8;

private:
    struct Level {
        std::vector<char> listing; // the folder's getdents64 records, all of them
        std::size_t next = 0;      // where the next record starts
        std::size_t pathLength = 0;
        int descriptor = -1;       // -1 while closed to spare descriptors
        std::shared_ptr<const SharedFolder> shared; // the descriptor, once a visitor shares it
        dev_t device = 0;
        ino_t inode = 0;
    };

    bool step(WalkVisitor &visitor);
    bool enter(int descriptor);
    void descend(const char *name, WalkVisitor &visitor);
    void leave(WalkVisitor &visitor);
    void list(Level &level);
    void closeLevel(Level &level);
    bool closeShallowest();
    bool spareDescriptor();
    void closeAll();

    std::vector<std::string> m_skipFrameworks;
    std::vector<Level> m_levels; // kept between folders, for their buffers
    std::size_t m_depth = 0;     // levels in use
    int m_open = 0;
    int m_maxOpen = maxOpenFolders;
    std::vector<char> m_scratch;
    std::string m_path;
};

#include "file_identity.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

uid_t userId = 0;
gid_t groupId = 0;
bool switches = false; // root acting for another user
Rights current = Rights::root;

std::string takeGroupsOf(const passwd &user)
{
    std::vector<gid_t> groups(32);
    for (;;) {
        int count = static_cast<int>(groups.size());
        if (getgrouplist(user.pw_name, user.pw_gid, groups.data(), &count) >= 0) {
            groups.resize(static_cast<std::size_t>(count));
            break;
        }
        groups.resize(static_cast<std::size_t>(count) > groups.size() ? static_cast<std::size_t>(count)
                                                                       : groups.size() * 2);
    }
    if (setgroups(groups.size(), groups.data()) != 0)
        return std::string("cannot take the groups of the user who asked: ") + std::strerror(errno);
    return {};
}

} // namespace

std::string adoptInvokingUser(const char *pkexecUid)
{
    userId = geteuid();
    groupId = getegid();
    if (!pkexecUid)
        return {};
    const char *end = pkexecUid + std::strlen(pkexecUid);
    uid_t uid = 0;
    const auto [last, error] = std::from_chars(pkexecUid, end, uid);
    if (error != std::errc() || last != end || last == pkexecUid || uid == static_cast<uid_t>(-1))
        return "PKEXEC_UID does not name a user: " + std::string(pkexecUid);
    if (geteuid() != 0 || uid == 0)
        return {};

    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *user = nullptr;
    const int failure = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &user);
    if (!user)
        return "cannot find the user who asked (id " + std::to_string(uid)
               + "): " + (failure ? std::strerror(failure) : "no such user");
    if (std::string error = takeGroupsOf(*user); !error.empty())
        return error;
    userId = uid;
    groupId = user->pw_gid;
    switches = true;
    return {};
}

uid_t invokingUserId()
{
    return userId;
}

bool actsForAnotherUser()
{
    return switches;
}

void actAs(Rights rights)
{
    if (!switches || rights == current)
        return;
    const uid_t uid = rights == Rights::user ? userId : 0;
    const gid_t gid = rights == Rights::user ? groupId : 0;
    setfsgid(gid);
    setfsuid(uid);
    // Both calls answer with the previous value; an invalid id changes
    // nothing and so reads the current one. Only a failed switch to the
    // user could do harm: one back to root that failed would only fail
    // the next operation.
    if (rights == Rights::user
        && (static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1))) != uid
            || static_cast<gid_t>(setfsgid(static_cast<gid_t>(-1))) != gid))
        std::abort();
    current = rights;
}

void keepOnlyFileCapabilities()
{
    if (geteuid() != 0)
        return;
    constexpr unsigned keep = 1u << CAP_CHOWN | 1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH
                              | 1u << CAP_FOWNER | 1u << CAP_FSETID | 1u << CAP_SETGID
                              | 1u << CAP_SETUID;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    data[0].effective &= keep;
    data[0].permitted &= keep;
    data[0].inheritable = 0;
    for (int i = 1; i < _LINUX_CAPABILITY_U32S_3; ++i)
        data[i] = {};
    syscall(SYS_capset, &header, data);
}

#pragma once

#include <string>
#include <sys/types.h>

// Whose file-system identity an operation uses: root's inside an SDK
// directory that root alone controls, the user's who asked everywhere else.
enum class Rights { root, user };

// Learns from PKEXEC_UID (set by pkexec, and only by it, since pkexec
// clears the rest of the environment) which user asked for this run. When
// Tool is root on behalf of another user, it takes that user's
// supplementary groups at once; actAs(Rights::user) then adds the user's
// fsuid and fsgid, so that the kernel checks every access and owns every
// new item as that user's. Without PKEXEC_UID, or started by a user
// without root rights, the user is Tool itself. Returns "" or why the user
// cannot be known.
[[nodiscard]] std::string adoptInvokingUser(const char *pkexecUid);

// The user's id: the owner of every item Tool creates with the user's rights.
uid_t invokingUserId();

// Whether Tool is root on behalf of another user, so that the two rights differ.
bool actsForAnotherUser();

// Switches the file-system identity, if needed. A switch that does not take
// effect ends the process: acting as root where the user's rights were
// meant is never an option.
void actAs(Rights rights);

// Keeps, of root's capabilities, only those its file work needs (and the
// change of the file-system identity). The kernel drops the file ones
// itself while Tool acts as the user; what remains cannot bypass the
// user's quota or the file system's reserve, nor anything else.
void keepOnlyFileCapabilities();

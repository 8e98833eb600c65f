#pragma once

// Undoes what a caller can set up to stop a root process at a point of its
// choosing. Resource limits (file size, CPU time, real-time CPU time,
// stack, open files, address space, data) are raised to their hard
// maximum, root lifting the hard limits too; a real-time scheduling policy
// gives way to the normal one; SIGXFSZ and SIGPIPE are ignored, so that a
// write that cannot be done fails instead of killing, and so are the
// signals of a terminal (SIGINT, SIGQUIT, SIGTSTP, SIGTTIN, SIGTTOU,
// SIGHUP) and of a CPU limit (SIGXCPU); Tool leaves the caller's session,
// so that no terminal sends it any; standard descriptors that are closed
// are opened on /dev/null, so that no file Tool opens takes their place.
// What stays out of reach: SIGKILL and SIGSTOP from root, and the freezer
// or the kill of a cgroup by whoever owns the cgroup.
void undoCallersSetUp();

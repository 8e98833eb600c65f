#pragma once

// Undoes what a caller can set up to stop a root process at a point of its
// choosing: resource limits (file size, CPU time, stack, open files,
// address space, data) are raised to their hard maximum, root lifting the
// hard limits too; SIGXFSZ and SIGPIPE are ignored, so that a write that
// cannot be done fails instead of killing; standard descriptors that are
// closed are opened on /dev/null, so that no file Tool opens takes their place.
void undoCallersLimits();

#pragma once

#include <string>

// A point where the test build of Tool can be held, so that a test can
// change the file system at the worst moment instead of hoping for it. The
// shipped Tool has no such point.
#ifdef TOOL_TEST_HOOKS
void pauseForTest(const char *point, const std::string &name);
#else
inline void pauseForTest(const char *, const std::string &) {}
#endif

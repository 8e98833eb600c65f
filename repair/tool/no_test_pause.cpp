#include "test_pause.h"

// The shipped Tool: no point holds, fails or kills.

void pauseForTest(const char *, const std::string &) {}

bool failsForTest(std::size_t)
{
    return false;
}

void killPointForTest() {}

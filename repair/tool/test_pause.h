#pragma once

#include <cstddef>
#include <string>

// Points where the test build of Tool can be held, made to fail or killed,
// so that a test can change the file system at the worst moment, or stop
// the run there, instead of hoping for it. Each program links its own
// definitions: the test build those of test_pause.cpp, the shipped Tool
// those of no_test_pause.cpp, which do nothing and read no variable.
void pauseForTest(const char *point, const std::string &name);
// TARNWICK_TEST_FAIL_ACTION=<position>: that action fails without being tried.
bool failsForTest(std::size_t position);
// TARNWICK_TEST_KILL_AT=<n>: the n-th kill point reached ends the run by SIGKILL.
void killPointForTest();

#include "test_pause.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

// TARNWICK_TEST_PAUSE="<point> <name>": the first time the run reaches that
// point for an item of that name, it says so on standard error (where
// there is room) and waits for one byte (or the end) on standard input.
void pauseForTest(const char *point, const std::string &name)
{
    static bool done = false;
    const char *wanted = std::getenv("TARNWICK_TEST_PAUSE");
    if (done || !wanted || std::string(point) + " " + name != wanted)
        return;
    done = true;
    const std::string line = "paused " + std::string(wanted) + "\n";
    if (write(STDERR_FILENO, line.data(), line.size()) < 0) {
        // A full pipe, as some tests give: the pause holds all the same.
    }
    char byte;
    while (read(STDIN_FILENO, &byte, 1) < 0 && errno == EINTR) {
    }
}

namespace {

unsigned long numberFrom(const char *variable)
{
    const char *text = std::getenv(variable);
    return text ? std::strtoul(text, nullptr, 10) : 0;
}

} // namespace

bool failsForTest(std::size_t position)
{
    static const unsigned long failing = numberFrom("TARNWICK_TEST_FAIL_ACTION");
    return failing != 0 && failing == position;
}

void killPointForTest()
{
    static const unsigned long killAt = numberFrom("TARNWICK_TEST_KILL_AT");
    static unsigned long reached = 0;
    if (killAt != 0 && ++reached == killAt)
        raise(SIGKILL);
}

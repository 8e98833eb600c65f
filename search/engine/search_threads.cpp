#include "search_threads.h"

#include <algorithm>
#include <sched.h>
#include <thread>

std::size_t searchThreadCount()
{
    std::size_t cores = std::thread::hardware_concurrency();
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        cores = static_cast<std::size_t>(CPU_COUNT(&allowed));
    return std::clamp<std::size_t>(cores, 1, maxSearchThreads);
}

#pragma once

#include <cstddef>

// How many threads a search decides headers on: one for each core this
// process may run on, up to where more stop paying. One means the search's
// own thread alone.
std::size_t searchThreadCount();

// Beyond this many, the one thread that walks and opens the headers in
// order is the bound, not the threads that read and decide them.
constexpr std::size_t maxSearchThreads = 4;

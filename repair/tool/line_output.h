#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One of Tool's standard outputs, written a line at a time without ever
// waiting for a reader: a line that finds no room is dropped and counted,
// and the count is told in a line of its own as soon as there is room
// again, before any later line. Nobody reading, or a full pipe, can then
// neither hold Tool up nor pause it at a point of somebody's choosing.
class LineOutput
{
public:
    // The line that tells how many lines were dropped.
    using DroppedLine = std::string (*)(std::uint64_t dropped);

    // Makes fd non-blocking, on a file description of its own where it is
    // a pipe or a terminal, so that the caller's stays as it was.
    LineOutput(int fd, DroppedLine droppedLine);

    void send(std::string_view line);
    // Waits for room as long as it takes.
    void sendWaiting(std::string_view line);
    // Tells the count, and the rest of a line begun, if there is room now.
    void finish();

private:
    bool offer(std::string_view text);
    void flushPending();

    int m_fd;
    DroppedLine m_droppedLine;
    bool m_closed = false;
    std::string m_pending; // the rest of a line that found room for its start only
    std::uint64_t m_dropped = 0;
};

#pragma once

#include "copy_progress.h"
#include "line_output.h"

#include <chrono>
#include <cstddef>
#include <string>

// The lines Tool writes on its standard output for the application that
// started it: "started" first, then "refused", "total", "progress" and
// "failed" and "group" lines, each one line of at most 4096 bytes. Nobody need read
// them: after "started" the output never holds up the work. A line that
// finds no room is dropped, and a later "dropped <count>" line tells how
// many were; a closed pipe ends all writing and is no error.
class ToolOutput
{
public:
    explicit ToolOutput(int fd);

    // The answer to the administrator dialog: waits for room as long as it
    // takes, since nothing may be done before the caller can know it.
    void started();
    void refused(const std::string &reason);
    void total(const CopyTotals &totals);
    void progress(const CopyTotals &done);
    void failed(std::size_t position, const std::string &reason);
    // How the actions first to last (positions, the first action is 1) of
    // one SDK ended as a whole: "group <first> <last> done", or "unchanged"
    // (undone) or "interrupted" (not even undone) with the reason.
    void group(std::size_t first, std::size_t last, const char *outcome, const std::string &reason);
    void finish() { m_lines.finish(); }

private:
    LineOutput m_lines;
};

// Counts what the copies have done, never above the totals, and tells the
// output at most five times a second.
class ProgressLines : public CopyProgress
{
public:
    ProgressLines(ToolOutput &output, const CopyTotals &totals)
        : m_output(output), m_totals(totals), m_last(std::chrono::steady_clock::now())
    {
    }
    void advance(std::uint64_t bytes, std::uint64_t items) override;
    // Once more, when all actions are done.
    void finish();

private:
    ToolOutput &m_output;
    const CopyTotals m_totals;
    CopyTotals m_done;
    std::chrono::steady_clock::time_point m_last;
};

// head, a space and text, as one line: control characters become spaces,
// bytes that are not UTF-8 become U+FFFD, and the line is cut, at a
// character's end, to 4096 bytes with its "\n", which a pipe takes whole
// or not at all.
std::string outputLine(const std::string &head, const std::string &text);

#include "tool_output.h"

#include <algorithm>

namespace {

constexpr std::size_t maxLine = 4096;
constexpr auto progressInterval = std::chrono::milliseconds(200);

// The length of the well-formed UTF-8 character at the start of text, or 0.
std::size_t characterLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    std::size_t length;
    unsigned char low = 0x80, high = 0xbf; // bounds of the second byte
    if (first < 0x80)
        return 1;
    if (first >= 0xc2 && first <= 0xdf)
        length = 2;
    else if (first >= 0xe0 && first <= 0xef) {
        length = 3;
        low = first == 0xe0 ? 0xa0 : 0x80;
        high = first == 0xed ? 0x9f : 0xbf;
    } else if (first >= 0xf0 && first <= 0xf4) {
        length = 4;
        low = first == 0xf0 ? 0x90 : 0x80;
        high = first == 0xf4 ? 0x8f : 0xbf;
    } else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xbf)
            return 0;
    return length;
}

bool isControl(std::string_view character)
{
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() == 1)
        return first < 0x20 || first == 0x7f;
    // U+0080 to U+009F
    return character.size() == 2 && first == 0xc2 && static_cast<unsigned char>(character[1]) < 0xa0;
}

} // namespace

std::string outputLine(const std::string &head, const std::string &text)
{
    std::string line = head + ' ';
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t length = characterLength(rest);
        std::string_view character = length ? rest.substr(0, length) : "\xef\xbf\xbd";
        rest.remove_prefix(length ? length : 1);
        if (isControl(character))
            character = " ";
        if (line.size() + character.size() > maxLine - 1)
            break;
        line += character;
    }
    return line + '\n';
}

namespace {

std::string droppedLine(std::uint64_t dropped)
{
    return "dropped " + std::to_string(dropped) + "\n";
}

} // namespace

ToolOutput::ToolOutput(int fd) : m_lines(fd, droppedLine) {}

void ToolOutput::started()
{
    m_lines.sendWaiting("started\n");
}

void ToolOutput::refused(const std::string &reason)
{
    m_lines.send(outputLine("refused", reason));
}

void ToolOutput::total(const CopyTotals &totals)
{
    m_lines.send("total " + std::to_string(totals.bytes) + " " + std::to_string(totals.items) + "\n");
}

void ToolOutput::progress(const CopyTotals &done)
{
    m_lines.send("progress " + std::to_string(done.bytes) + " " + std::to_string(done.items) + "\n");
}

void ToolOutput::failed(std::size_t position, const std::string &reason)
{
    m_lines.send(outputLine("failed " + std::to_string(position), reason));
}

void ToolOutput::group(std::size_t first, std::size_t last, const char *outcome, const std::string &reason)
{
    const std::string head = "group " + std::to_string(first) + " " + std::to_string(last) + " " + outcome;
    m_lines.send(reason.empty() ? head + "\n" : outputLine(head, reason));
}

void ProgressLines::advance(std::uint64_t bytes, std::uint64_t items)
{
    m_done.bytes = std::min(m_done.bytes + bytes, m_totals.bytes);
    m_done.items = std::min(m_done.items + items, m_totals.items);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last < progressInterval)
        return;
    m_last = now;
    m_output.progress(m_done);
}

void ProgressLines::finish()
{
    m_output.progress(m_done);
}

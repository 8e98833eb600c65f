#include "tool_output.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr std::size_t maxLine = 4096;
constexpr auto waitForRoom = std::chrono::seconds(1);
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

void ToolOutput::started()
{
    send("started\n", Wait::asLongAsItTakes);
    // From here on no write waits for a reader, unless told to.
    const int flags = fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
}

void ToolOutput::refused(const std::string &reason)
{
    send(outputLine("refused", reason), Wait::aSecond);
}

void ToolOutput::total(const CopyTotals &totals)
{
    send("total " + std::to_string(totals.bytes) + " " + std::to_string(totals.items) + "\n", Wait::aSecond);
}

void ToolOutput::progress(const CopyTotals &done)
{
    send("progress " + std::to_string(done.bytes) + " " + std::to_string(done.items) + "\n", Wait::never);
}

void ToolOutput::failed(std::size_t position, const std::string &reason)
{
    send(outputLine("failed " + std::to_string(position), reason), Wait::aSecond);
}

void ToolOutput::send(const std::string &line, Wait wait)
{
    const auto deadline = std::chrono::steady_clock::now() + waitForRoom;
    std::size_t written = 0;
    while (!m_closed && written < line.size()) {
        const ssize_t n = write(m_fd, line.data() + written, line.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            // A line once begun is finished, or the next would run into it.
            if (wait == Wait::never && written == 0)
                return;
            int timeout = -1;
            if (wait != Wait::asLongAsItTakes) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                if (left.count() <= 0) {
                    m_closed = written > 0;
                    return;
                }
                timeout = static_cast<int>(left.count()) + 1;
            }
            pollfd room{m_fd, POLLOUT, 0};
            poll(&room, 1, timeout);
            continue;
        }
        // EPIPE: nobody reads any more, which is no fault of the work.
        m_closed = true;
    }
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

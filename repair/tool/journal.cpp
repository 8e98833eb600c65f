#include "journal.h"

#include "action_list.h"
#include "item_location.h"
#include "test_pause.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

constexpr std::string_view header = "tarnwick-journal 1";

// The operand that quoted() wrote at the start of text, and the rest after
// it; nothing for anything else.
std::optional<std::string> unquoted(std::string_view &text)
{
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (c != '\\') {
            result += c;
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        if (text[i] == 'n') {
            result += '\n';
        } else if (text[i] == 'x' && i + 2 < text.size()) {
            unsigned value = 0;
            if (std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr != text.data() + i + 3)
                return std::nullopt;
            result += static_cast<char>(value);
            i += 2;
        } else {
            result += text[i];
        }
    }
    return std::nullopt;
}

std::optional<JournalStep> stepFrom(std::string_view line)
{
    const auto space = line.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const std::optional<Verb> verb = verbNamed(line.substr(0, space));
    if (!verb || *verb == Verb::undo)
        return std::nullopt;
    JournalStep step{*verb, {}, {}, {}, false};
    line.remove_prefix(space + 1);
    const auto first = unquoted(line);
    if (!first || line.empty() || line.front() != ' ')
        return std::nullopt;
    line.remove_prefix(1);
    const auto second = unquoted(line);
    if (!second || !line.empty())
        return std::nullopt;
    step.first = *first;
    step.second = *second;
    return step;
}

std::optional<std::pair<dev_t, ino_t>> identityFrom(std::string_view fields)
{
    unsigned long long device = 0, inode = 0;
    const char *end = fields.data() + fields.size();
    auto [at, error] = std::from_chars(fields.data(), end, device);
    if (error != std::errc() || at == end || *at != ' ')
        return std::nullopt;
    auto [last, error2] = std::from_chars(at + 1, end, inode);
    if (error2 != std::errc() || last != end)
        return std::nullopt;
    return std::pair(static_cast<dev_t>(device), static_cast<ino_t>(inode));
}

} // namespace

std::string journalName(const std::string &sdkName)
{
    return "." + sdkName + ".tarnwick-journal";
}

std::string stepLine(const JournalStep &step)
{
    return wordOf(step.verb) + " " + quoted(step.first) + " " + quoted(step.second);
}

std::optional<JournalContents> parseJournal(std::string_view text)
{
    JournalContents contents;
    bool first = true;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            break; // a line cut short by the end of the run: never synced, never acted on
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            if (line != header)
                return std::nullopt;
            first = false;
        } else if (line == "done" && !contents.steps.empty()) {
            contents.steps.back().done = true;
        } else if (line == "commit") {
            contents.committed = true;
        } else if (line.starts_with("made ") && !contents.steps.empty()) {
            contents.steps.back().made = identityFrom(line.substr(5));
        } else if (auto step = stepFrom(line)) {
            contents.steps.push_back(std::move(*step));
        } else {
            return std::nullopt;
        }
    }
    return contents;
}

std::string Journal::create(int sdkDirectory, const std::string &sdkName, Rights rights)
{
    m_rights = rights;
    m_name = journalName(sdkName);
    actAs(rights);
    m_folder.reset(openat(sdkDirectory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_folder)
        return "cannot open the SDK directory: " + reasonOf(errno);
    struct stat sdk;
    if (fstatat(m_folder.get(), sdkName.c_str(), &sdk, 0) != 0)
        return "cannot look at the SDK: " + reasonOf(errno);
    m_file.reset(openat(m_folder.get(), m_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!m_file) {
        if (errno == EEXIST)
            return "an earlier change of this SDK was interrupted or is still under way";
        return "cannot write its journal: " + reasonOf(errno);
    }
    // Nobody else holds it yet: it was just made.
    flock(m_file.get(), LOCK_EX);
    if (fchown(m_file.get(), sdk.st_uid, sdk.st_gid) != 0 && errno != EPERM) {
        const std::string why = reasonOf(errno);
        (void)remove();
        return "cannot write its journal: " + why;
    }
    fchmod(m_file.get(), 0644);
    if (std::string error = append(std::string(header)); !error.empty()) {
        (void)remove();
        return error;
    }
    return {};
}

std::string Journal::open(int sdkDirectory, const std::string &sdkName, Rights rights, JournalContents &contents,
                          int &errorCode)
{
    m_rights = rights;
    m_name = journalName(sdkName);
    actAs(rights);
    errorCode = 0;
    m_folder.reset(openat(sdkDirectory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (m_folder)
        m_file.reset(openat(m_folder.get(), m_name.c_str(), O_RDWR | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
    if (!m_folder || !m_file) {
        errorCode = errno;
        return "cannot open its journal: " + reasonOf(errno);
    }
    struct stat status;
    if (flock(m_file.get(), LOCK_EX | LOCK_NB) != 0) {
        errorCode = errno;
        return errno == EWOULDBLOCK ? "a change of this SDK is still under way" : "cannot lock its journal: " + reasonOf(errno);
    }
    if (fstat(m_file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > (1 << 24)) {
        errorCode = EINVAL;
        return "its journal is not one Tool wrote";
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    for (std::size_t got = 0; got < text.size();) {
        const ssize_t n = pread(m_file.get(), text.data() + got, text.size() - got, static_cast<off_t>(got));
        if (n <= 0) {
            errorCode = n < 0 ? errno : EIO;
            return "cannot read its journal: " + reasonOf(errorCode);
        }
        got += static_cast<std::size_t>(n);
    }
    auto parsed = parseJournal(text);
    if (!parsed) {
        errorCode = EINVAL;
        return "its journal is not one Tool wrote";
    }
    contents = std::move(*parsed);
    return {};
}

std::string Journal::append(const std::string &line)
{
    killPointForTest();
    actAs(m_rights);
    const std::string text = line + '\n';
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t n = write(m_file.get(), text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return "cannot write its journal: " + reasonOf(n < 0 ? errno : EIO);
        written += static_cast<std::size_t>(n);
    }
    if (fsync(m_file.get()) != 0 || fsync(m_folder.get()) != 0)
        return "cannot write its journal: " + reasonOf(errno);
    killPointForTest();
    return {};
}

std::string Journal::beginStep(const JournalStep &step)
{
    return append(stepLine(step));
}

std::string Journal::made(dev_t device, ino_t inode)
{
    return append("made " + std::to_string(device) + " " + std::to_string(inode));
}

std::string Journal::stepDone()
{
    return append("done");
}

std::string Journal::commit()
{
    return append("commit");
}

std::string Journal::remove()
{
    actAs(m_rights);
    if (unlinkat(m_folder.get(), m_name.c_str(), 0) != 0 && errno != ENOENT)
        return "cannot delete its journal: " + reasonOf(errno);
    m_file.reset();
    if (fsync(m_folder.get()) != 0)
        return "cannot delete its journal: " + reasonOf(errno);
    return {};
}

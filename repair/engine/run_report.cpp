#include "run_report.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>

namespace {

// A decimal count as the tool writes it: digits only, no sign, no spaces.
std::optional<qint64> count(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::pair<qint64, qint64>> countPair(QByteArrayView fields)
{
    const qsizetype space = fields.indexOf(' ');
    if (space < 0)
        return std::nullopt;
    const auto first = count(fields.first(space));
    const auto second = count(fields.sliced(space + 1));
    if (!first || !second)
        return std::nullopt;
    return std::pair(*first, *second);
}

// The rest of a line as text. The tool already keeps every line one line;
// control characters are blanked here once more, since they end up on
// screen.
QString sentence(QByteArrayView text)
{
    QString result = QString::fromUtf8(text);
    for (QChar &c : result) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return result;
}

std::optional<int> position(QByteArrayView text)
{
    const auto value = count(text);
    if (!value || *value <= 0 || *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}

// "<first> <last> done", or "unchanged" or "interrupted" and the reason.
void readGroupLine(QByteArrayView fields, RunReport &report)
{
    const QList<QByteArrayView> words = [&] {
        QList<QByteArrayView> parts;
        for (int i = 0; i < 3; ++i) {
            const qsizetype gap = fields.indexOf(' ');
            parts << (gap < 0 ? fields : fields.first(gap));
            fields = gap < 0 ? QByteArrayView() : fields.sliced(gap + 1);
        }
        return parts;
    }();
    const auto first = position(words[0]), last = position(words[1]);
    if (!first || !last || *last < *first)
        return;
    GroupEnd end{*first, *last, GroupEnd::Done, sentence(fields)};
    if (words[2] == "unchanged")
        end.kind = GroupEnd::Unchanged;
    else if (words[2] == "interrupted")
        end.kind = GroupEnd::Interrupted;
    else if (words[2] != "done")
        return;
    report.groups.append(end);
}

} // namespace

void readToolLine(QByteArrayView line, RunReport &report)
{
    const qsizetype space = line.indexOf(' ');
    if (space < 0)
        return;
    const QByteArrayView keyword = line.first(space);
    const QByteArrayView fields = line.sliced(space + 1);

    if (keyword == "total") {
        if (const auto totals = countPair(fields)) {
            report.counted = true;
            std::tie(report.totalBytes, report.totalItems) = *totals;
            report.doneBytes = std::min(report.doneBytes, report.totalBytes);
            report.doneItems = std::min(report.doneItems, report.totalItems);
        }
    } else if (keyword == "progress") {
        if (const auto done = countPair(fields); done && report.counted) {
            report.doneBytes = std::min(done->first, report.totalBytes);
            report.doneItems = std::min(done->second, report.totalItems);
        }
    } else if (keyword == "failed") {
        const qsizetype gap = fields.indexOf(' ');
        const auto position = count(gap < 0 ? fields : fields.first(gap));
        if (position && *position > 0 && *position <= std::numeric_limits<int>::max())
            report.failures.append({static_cast<int>(*position), gap < 0 ? QString() : sentence(fields.sliced(gap + 1))});
    } else if (keyword == "group") {
        readGroupLine(fields, report);
    } else if (keyword == "refused") {
        report.refused = true;
        report.refusal = sentence(fields);
    }
}

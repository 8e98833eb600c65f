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
    } else if (keyword == "refused") {
        report.refused = true;
        report.refusal = sentence(fields);
    }
}

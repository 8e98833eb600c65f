#include "preview_content.h"

#include <algorithm>

qsizetype PreviewContent::lineEnd(int line) const
{
    qsizetype end = line + 1 < lineCount() ? lineStarts[static_cast<std::size_t>(line) + 1] : text.size();
    const qsizetype start = lineStarts[static_cast<std::size_t>(line)];
    if (end > start && text[end - 1] == u'\n')
        --end;
    if (end > start && text[end - 1] == u'\r')
        --end;
    return end;
}

int PreviewContent::lineOf(qsizetype offset) const
{
    const auto after = std::upper_bound(lineStarts.begin(), lineStarts.end(), static_cast<std::uint32_t>(std::max<qsizetype>(offset, 0)));
    return static_cast<int>(after - lineStarts.begin()) - 1;
}

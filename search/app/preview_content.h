#pragma once

#include "hit_finder.h"

#include <QString>

#include <cstdint>
#include <vector>

// Columns between tab stops in the preview, as the headers were written.
constexpr int previewTabWidth = 4;

// A header made ready for the preview, off the main thread: its text as the
// search decoded it, where its lines start, and the hits of the search that
// listed it. Or, when there is no text to show, why.
struct PreviewContent {
    QString text;
    // A line ends at LF, CR LF or CR; a break at the very end starts no
    // further line. There is always at least one line.
    std::vector<std::uint32_t> lineStarts{0};
    int widestLine = 0; // in columns, tabs expanded
    std::vector<Hit> hits;
    // Every piece of every hit, in text order, with its hit: what the view
    // paints, made here so that showing a header costs the main thread
    // nothing per hit.
    struct Mark {
        qsizetype begin, end;
        int hit;
    };
    std::vector<Mark> marks;
    QString note; // instead of the text

    // Where line ends, its break not included.
    qsizetype lineEnd(int line) const;
    int lineOf(qsizetype offset) const;
    int lineCount() const { return static_cast<int>(lineStarts.size()); }
    // The columns a character takes when it stands at column.
    static int widthAt(QChar c, int column) { return c == u'\t' ? previewTabWidth - column % previewTabWidth : 1; }
};

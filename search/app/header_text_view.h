#pragma once

#include "preview_content.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <memory>
#include <vector>

// A header's text, read-only, in the fixed-width font: line numbers, every
// hit highlighted, the current hit selected; selectable with the mouse and
// the keyboard, and copyable. It draws only the lines in view from the
// content's line index, so a header of any length costs the main thread the
// same, and the content arrives whole from the thread that prepared it.
class HeaderTextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit HeaderTextView(QWidget *parent = nullptr);

    // Shows content; its first hit, if any, becomes the current one. Gives
    // back the content shown before.
    std::shared_ptr<const PreviewContent> setContent(std::shared_ptr<const PreviewContent> content);
    const PreviewContent &content() const { return *m_content; }

    int currentHit() const { return m_currentHit; }
    // Selects the hit, caret at its start, and brings it into view.
    void setCurrentHit(int index);

    qsizetype cursorPosition() const { return m_cursor; }
    qsizetype anchorPosition() const { return m_anchor; }
    void setSelection(qsizetype anchor, qsizetype cursor);
    QString selectedText() const;
    void selectAll();
    void copy() const;

    // In viewport coordinates.
    QRect characterRect(qsizetype offset) const;
    qsizetype offsetAt(QPoint point) const;
    // Shows text[begin, end): with context, a third down the view, when it
    // is out of view; else scrolling as little as needed.
    void bringIntoView(qsizetype begin, qsizetype end, bool withContext = false);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    enum class Motion {
        NextChar, PreviousChar, NextWord, PreviousWord, NextLine, PreviousLine,
        StartOfLine, EndOfLine, StartOfDocument, EndOfDocument, NextPage, PreviousPage,
    };
    // A character in view: where it is, its column and its width.
    struct Cell {
        qsizetype offset;
        int column;
        int width;
    };

    // Brings the current hit into view once the view has its size.
    void revealCurrentHit();
    void updateMetrics();
    void updateScrollBars();
    int visibleLines() const;
    int textLeft() const { return m_gutterWidth + m_padding; }
    qreal xOfColumn(qreal column) const;
    int yOfLine(int line) const;
    int columnOf(int line, qsizetype offset) const;
    qsizetype offsetAtColumn(int line, qreal column) const;
    qsizetype moved(qsizetype from, Motion motion);
    bool isWordCharacter(qsizetype offset) const;
    void selectWordAt(qsizetype offset);
    void copyToSelectionClipboard() const;
    void announceCaret(bool selectionChanged);

    void visibleCells(int line, int firstColumn, int lastColumn, std::vector<Cell> &cells, int &endColumn) const;
    void paintLine(QPainter &painter, int line, const QRect &area);
    void paintGutter(QPainter &painter, int firstLine, int lastLine);

    std::shared_ptr<const PreviewContent> m_content;
    int m_currentHit = -1;
    bool m_revealPending = false;
    qsizetype m_anchor = 0;
    qsizetype m_cursor = 0;
    int m_desiredColumn = -1; // kept while moving up and down
    bool m_selecting = false;
    QPoint m_lastMouse;
    QBasicTimer m_autoScroll;

    int m_lineHeight = 16;
    int m_ascent = 12;
    qreal m_charWidth = 8;
    int m_gutterWidth = 40;
    int m_padding = 6;
    std::vector<Cell> m_cells; // reused while painting
};

#include "header_text_view.h"

#include "header_text_view_accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

bool isLightTheme(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() >= 128;
}

QColor hitColor(const QPalette &palette)
{
    return isLightTheme(palette) ? QColor(255, 233, 140) : QColor(112, 92, 24);
}

QColor currentHitColor(const QPalette &palette)
{
    return isLightTheme(palette) ? QColor(255, 176, 64) : QColor(168, 104, 24);
}

// Control characters are drawn as their pictures, so that nothing in the
// header is invisible.
QChar shownAs(QChar c)
{
    if (c.unicode() < 0x20)
        return QChar(0x2400 + c.unicode());
    return c.unicode() == 0x7F ? QChar(0x2421) : c;
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

} // namespace

HeaderTextView::HeaderTextView(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_content(std::make_shared<const PreviewContent>())
{
    static const bool accessible = [] {
        QAccessible::installFactory(headerTextViewAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    updateMetrics();
}

std::shared_ptr<const PreviewContent> HeaderTextView::setContent(std::shared_ptr<const PreviewContent> content)
{
    static const auto empty = std::make_shared<const PreviewContent>();
    std::shared_ptr<const PreviewContent> before = std::exchange(m_content, content ? std::move(content) : empty);
    m_currentHit = -1;
    m_revealPending = false;
    m_anchor = m_cursor = 0;
    m_desiredColumn = -1;
    updateMetrics();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    if (!m_content->hits.empty())
        setCurrentHit(0);
    viewport()->update();
    return before;
}

void HeaderTextView::setCurrentHit(int index)
{
    if (index < 0 || index >= static_cast<int>(m_content->hits.size()))
        return;
    m_currentHit = index;
    const Hit &hit = m_content->hits[static_cast<std::size_t>(index)];
    const auto begin = static_cast<qsizetype>(hit.pieces.front().begin);
    const auto end = static_cast<qsizetype>(hit.pieces.back().end);
    // The caret at the start, so that the line it reads is the hit's.
    setSelection(end, begin);
    m_revealPending = true;
    revealCurrentHit();
    viewport()->update();
}

void HeaderTextView::revealCurrentHit()
{
    if (!m_revealPending || !isVisible() || m_currentHit < 0)
        return;
    m_revealPending = false;
    const Hit &hit = m_content->hits[static_cast<std::size_t>(m_currentHit)];
    const auto begin = static_cast<qsizetype>(hit.pieces.front().begin);
    bringIntoView(begin, std::min(static_cast<qsizetype>(hit.pieces.back().end), m_content->lineEnd(m_content->lineOf(begin))),
                  true);
}

void HeaderTextView::setSelection(qsizetype anchor, qsizetype cursor)
{
    const qsizetype size = m_content->text.size();
    anchor = std::clamp<qsizetype>(anchor, 0, size);
    cursor = std::clamp<qsizetype>(cursor, 0, size);
    const bool moved = cursor != m_cursor;
    const bool selectionChanged = anchor != m_anchor || moved;
    m_anchor = anchor;
    m_cursor = cursor;
    if (selectionChanged)
        viewport()->update();
    if (moved || selectionChanged)
        announceCaret(selectionChanged);
}

QString HeaderTextView::selectedText() const
{
    const qsizetype from = std::min(m_anchor, m_cursor);
    return m_content->text.mid(from, std::max(m_anchor, m_cursor) - from);
}

void HeaderTextView::selectAll()
{
    setSelection(0, m_content->text.size());
}

void HeaderTextView::copy() const
{
    if (m_anchor != m_cursor)
        QGuiApplication::clipboard()->setText(selectedText());
}

void HeaderTextView::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (m_anchor != m_cursor && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void HeaderTextView::announceCaret(bool selectionChanged)
{
    if (!QAccessible::isActive())
        return;
    if (selectionChanged) {
        QAccessibleTextSelectionEvent event(this, static_cast<int>(std::min(m_anchor, m_cursor)),
                                            static_cast<int>(std::max(m_anchor, m_cursor)));
        event.setCursorPosition(static_cast<int>(m_cursor));
        QAccessible::updateAccessibility(&event);
    }
    QAccessibleTextCursorEvent event(this, static_cast<int>(m_cursor));
    QAccessible::updateAccessibility(&event);
}

// Geometry ---------------------------------------------------------------

void HeaderTextView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    m_lineHeight = static_cast<int>(std::ceil(metrics.lineSpacing()));
    m_ascent = static_cast<int>(std::ceil(metrics.ascent()));
    m_charWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    int digits = 1;
    for (int lines = m_content->lineCount(); lines >= 10; lines /= 10)
        ++digits;
    m_gutterWidth = static_cast<int>(std::ceil(std::max(digits, 3) * m_charWidth)) + 2 * m_padding;
    updateScrollBars();
}

int HeaderTextView::visibleLines() const
{
    return std::max(1, (viewport()->height() - m_padding / 2) / m_lineHeight);
}

void HeaderTextView::updateScrollBars()
{
    const int lines = visibleLines();
    verticalScrollBar()->setRange(0, std::max(0, m_content->lineCount() - lines));
    verticalScrollBar()->setPageStep(lines);
    verticalScrollBar()->setSingleStep(1);
    const int textWidth = std::max(1, viewport()->width() - textLeft());
    const int contentWidth = static_cast<int>(std::ceil((m_content->widestLine + 1) * m_charWidth));
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth - textWidth));
    horizontalScrollBar()->setPageStep(textWidth);
    horizontalScrollBar()->setSingleStep(static_cast<int>(std::ceil(m_charWidth * 2)));
}

qreal HeaderTextView::xOfColumn(qreal column) const
{
    return textLeft() + column * m_charWidth - horizontalScrollBar()->value();
}

int HeaderTextView::yOfLine(int line) const
{
    return (line - verticalScrollBar()->value()) * m_lineHeight + m_padding / 2;
}

int HeaderTextView::columnOf(int line, qsizetype offset) const
{
    const QString &text = m_content->text;
    const qsizetype end = std::min(offset, m_content->lineEnd(line));
    int column = 0;
    for (qsizetype at = m_content->lineStarts[static_cast<std::size_t>(line)]; at < end; ++at)
        column += PreviewContent::widthAt(text[at], column);
    return column;
}

qsizetype HeaderTextView::offsetAtColumn(int line, qreal column) const
{
    const QString &text = m_content->text;
    const qsizetype end = m_content->lineEnd(line);
    int at = 0;
    for (qsizetype offset = m_content->lineStarts[static_cast<std::size_t>(line)]; offset < end; ++offset) {
        const int width = PreviewContent::widthAt(text[offset], at);
        if (column < at + width / 2.0)
            return offset;
        at += width;
    }
    return end;
}

QRect HeaderTextView::characterRect(qsizetype offset) const
{
    const int line = m_content->lineOf(offset);
    const int column = columnOf(line, offset);
    const int width = offset < m_content->lineEnd(line) ? PreviewContent::widthAt(m_content->text[offset], column) : 1;
    return QRectF(xOfColumn(column), yOfLine(line), width * m_charWidth, m_lineHeight).toAlignedRect();
}

qsizetype HeaderTextView::offsetAt(QPoint point) const
{
    const int line = std::clamp(verticalScrollBar()->value() + (point.y() - m_padding / 2) / m_lineHeight, 0,
                                m_content->lineCount() - 1);
    const qreal column = (point.x() - textLeft() + horizontalScrollBar()->value()) / m_charWidth;
    return offsetAtColumn(line, std::max<qreal>(column, 0));
}

void HeaderTextView::bringIntoView(qsizetype begin, qsizetype end, bool withContext)
{
    const int line = m_content->lineOf(begin);
    const int first = verticalScrollBar()->value(), lines = visibleLines();
    if (withContext && (line < first || line >= first + lines))
        verticalScrollBar()->setValue(line - lines / 3);
    else if (line < first)
        verticalScrollBar()->setValue(line);
    else if (line >= first + lines)
        verticalScrollBar()->setValue(line - lines + 1);

    const qreal left = columnOf(line, begin) * m_charWidth;
    const qreal right = columnOf(line, end) * m_charWidth + m_charWidth;
    const int textWidth = viewport()->width() - textLeft();
    QScrollBar *bar = horizontalScrollBar();
    if (left < bar->value() || right > bar->value() + textWidth) {
        // Some context to the left of the hit, when it fits.
        const qreal context = std::min<qreal>(textWidth / 3.0, std::max<qreal>(0, textWidth - (right - left)));
        bar->setValue(static_cast<int>(left - context));
    }
}

// Painting ---------------------------------------------------------------

void HeaderTextView::visibleCells(int line, int firstColumn, int lastColumn, std::vector<Cell> &cells,
                                  int &endColumn) const
{
    cells.clear();
    const QString &text = m_content->text;
    const qsizetype end = m_content->lineEnd(line);
    int column = 0;
    qsizetype offset = m_content->lineStarts[static_cast<std::size_t>(line)];
    for (; offset < end && column < lastColumn; ++offset) {
        const int width = PreviewContent::widthAt(text[offset], column);
        if (column + width > firstColumn)
            cells.push_back({offset, column, width});
        column += width;
    }
    endColumn = column;
}

void HeaderTextView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const int first = verticalScrollBar()->value();
    const int last = std::min(m_content->lineCount() - 1, first + visibleLines());
    for (int line = first; line <= last; ++line)
        paintLine(painter, line, event->rect());
    paintGutter(painter, first, last);
}

void HeaderTextView::paintLine(QPainter &painter, int line, const QRect &area)
{
    const int y = yOfLine(line);
    if (y > area.bottom() || y + m_lineHeight < area.top())
        return;
    const int scrolled = horizontalScrollBar()->value();
    const int firstColumn = static_cast<int>(scrolled / m_charWidth);
    const int lastColumn = static_cast<int>((scrolled + viewport()->width()) / m_charWidth) + 1;
    int endColumn = 0;
    visibleCells(line, firstColumn, lastColumn, m_cells, endColumn);
    const qsizetype lineStart = m_content->lineStarts[static_cast<std::size_t>(line)];
    const qsizetype lineEnd = m_content->lineEnd(line);
    const qsizetype shownBegin = m_cells.empty() ? lineEnd : m_cells.front().offset;
    const qsizetype shownEnd = m_cells.empty() ? lineEnd : m_cells.back().offset + 1;
    const int shownEndColumn = m_cells.empty() ? endColumn : m_cells.back().column + m_cells.back().width;
    const auto columnAt = [&](qsizetype offset) -> int {
        if (m_cells.empty() || offset >= shownEnd)
            return shownEndColumn;
        return offset <= shownBegin ? m_cells.front().column : m_cells[static_cast<std::size_t>(offset - shownBegin)].column;
    };
    const auto band = [&](qsizetype begin, qsizetype end, qreal extra) {
        const qreal left = xOfColumn(columnAt(std::max(begin, lineStart)));
        const qreal right = xOfColumn(columnAt(std::min(end, lineEnd))) + extra;
        return QRectF(left, y, right - left, m_lineHeight);
    };

    painter.save();
    painter.setClipRect(QRect(m_gutterWidth, 0, viewport()->width() - m_gutterWidth, viewport()->height()));
    // Marks are in text order and do not overlap: those in view are a run.
    const std::vector<PreviewContent::Mark> &marks = m_content->marks;
    auto mark = std::lower_bound(marks.begin(), marks.end(), shownBegin,
                                 [](const PreviewContent::Mark &m, qsizetype offset) { return m.end <= offset; });
    for (; mark != marks.end() && mark->begin < shownEnd; ++mark) {
        painter.fillRect(band(mark->begin, mark->end, 0),
                         mark->hit == m_currentHit ? currentHitColor(palette()) : hitColor(palette()));
    }

    const qsizetype selectionBegin = std::min(m_anchor, m_cursor), selectionEnd = std::max(m_anchor, m_cursor);
    const qsizetype nextLine = line + 1 < m_content->lineCount() ? m_content->lineStarts[static_cast<std::size_t>(line) + 1]
                                                                 : m_content->text.size();
    QRectF selected;
    if (selectionBegin < selectionEnd && selectionBegin < std::max(nextLine, lineEnd + 1) && selectionEnd > lineStart) {
        // A selected line break shows as a little more selection.
        selected = band(selectionBegin, selectionEnd, selectionEnd > lineEnd && nextLine > lineEnd ? m_charWidth / 2 : 0);
        const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
        painter.fillRect(selected, palette().color(group, QPalette::Highlight));
    }

    const int baseline = y + m_ascent;
    const auto drawText = [&](const QColor &color) {
        painter.setPen(color);
        QString run;
        qreal runX = 0;
        const auto flush = [&] {
            if (!run.isEmpty())
                painter.drawText(QPointF(runX, baseline), run);
            run.clear();
        };
        for (const Cell &cell : m_cells) {
            const QChar c = m_content->text[cell.offset];
            if (c == u'\t') {
                flush();
                continue;
            }
            // Runs of ASCII lie on the grid by themselves; every other
            // character, maybe drawn from another font, gets its own cell.
            if (c.unicode() > 0x20 && c.unicode() < 0x7F) {
                if (run.isEmpty())
                    runX = xOfColumn(cell.column);
                run += c;
                continue;
            }
            flush();
            if (c == u' ')
                continue;
            if (isControl(c)) {
                painter.setPen(palette().color(QPalette::PlaceholderText));
                painter.drawText(QPointF(xOfColumn(cell.column), baseline), QString(shownAs(c)));
                painter.setPen(color);
            } else {
                painter.drawText(QPointF(xOfColumn(cell.column), baseline), QString(c));
            }
        }
        flush();
    };
    drawText(palette().color(QPalette::Text));
    if (!selected.isEmpty()) {
        painter.setClipRect(selected, Qt::IntersectClip);
        const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
        drawText(palette().color(group, QPalette::HighlightedText));
        painter.setClipping(false);
    }
    painter.restore();

    if (hasFocus() && m_content->lineOf(m_cursor) == line) {
        const qreal x = xOfColumn(m_cursor >= shownBegin && m_cursor <= shownEnd ? columnAt(m_cursor) : columnOf(line, m_cursor));
        if (x >= m_gutterWidth)
            painter.fillRect(QRectF(x, y, 1, m_lineHeight), palette().color(QPalette::Text));
    }
}

void HeaderTextView::paintGutter(QPainter &painter, int firstLine, int lastLine)
{
    painter.fillRect(QRect(0, 0, m_gutterWidth, viewport()->height()), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(m_gutterWidth - 1, 0, m_gutterWidth - 1, viewport()->height());
    const int caretLine = m_content->lineOf(m_cursor);
    for (int line = firstLine; line <= lastLine; ++line) {
        painter.setPen(palette().color(line == caretLine ? QPalette::Text : QPalette::PlaceholderText));
        painter.drawText(QRect(0, yOfLine(line), m_gutterWidth - m_padding, m_lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
    }
}

void HeaderTextView::resizeEvent(QResizeEvent *event)
{
    // A caret in view stays in view, also when a scroll bar appearing takes
    // the last line.
    const int caretLine = m_content->lineOf(m_cursor), first = verticalScrollBar()->value();
    const int linesBefore = std::max(1, (event->oldSize().height() - m_padding / 2) / m_lineHeight);
    const bool caretShown = caretLine >= first && caretLine < first + linesBefore;
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    if (caretShown && caretLine >= first + visibleLines())
        verticalScrollBar()->setValue(caretLine - visibleLines() + 1);
    revealCurrentHit();
}

void HeaderTextView::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    updateScrollBars();
    revealCurrentHit();
}

void HeaderTextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        viewport()->update();
}

void HeaderTextView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void HeaderTextView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// Moving and selecting ------------------------------------------------------

bool HeaderTextView::isWordCharacter(qsizetype offset) const
{
    const QChar c = m_content->text[offset];
    return c.isLetterOrNumber() || c == u'_';
}

qsizetype HeaderTextView::moved(qsizetype from, Motion motion)
{
    const PreviewContent &content = *m_content;
    const int line = content.lineOf(from);
    const qsizetype start = content.lineStarts[static_cast<std::size_t>(line)], end = content.lineEnd(line);
    const auto toLine = [&](int target) {
        target = std::clamp(target, 0, content.lineCount() - 1);
        if (m_desiredColumn < 0)
            m_desiredColumn = columnOf(line, from);
        return offsetAtColumn(target, m_desiredColumn);
    };
    switch (motion) {
    case Motion::NextChar:
        if (from >= end)
            return line + 1 < content.lineCount() ? qsizetype(content.lineStarts[static_cast<std::size_t>(line) + 1]) : from;
        return from + 1;
    case Motion::PreviousChar:
        if (from <= start)
            return line > 0 ? content.lineEnd(line - 1) : from;
        return from - 1;
    case Motion::NextWord: {
        if (from >= end)
            return moved(from, Motion::NextChar);
        qsizetype at = from;
        while (at < end && isWordCharacter(at))
            ++at;
        while (at < end && !isWordCharacter(at))
            ++at;
        return at;
    }
    case Motion::PreviousWord: {
        if (from <= start)
            return moved(from, Motion::PreviousChar);
        qsizetype at = from;
        while (at > start && !isWordCharacter(at - 1))
            --at;
        while (at > start && isWordCharacter(at - 1))
            --at;
        return at;
    }
    case Motion::NextLine:
        return toLine(line + 1);
    case Motion::PreviousLine:
        return toLine(line - 1);
    case Motion::NextPage:
        verticalScrollBar()->setValue(verticalScrollBar()->value() + visibleLines());
        return toLine(line + visibleLines());
    case Motion::PreviousPage:
        verticalScrollBar()->setValue(verticalScrollBar()->value() - visibleLines());
        return toLine(line - visibleLines());
    case Motion::StartOfLine:
        return start;
    case Motion::EndOfLine:
        return end;
    case Motion::StartOfDocument:
        return 0;
    case Motion::EndOfDocument:
        return content.text.size();
    }
    return from;
}

void HeaderTextView::selectWordAt(qsizetype offset)
{
    const int line = m_content->lineOf(offset);
    const qsizetype start = m_content->lineStarts[static_cast<std::size_t>(line)], end = m_content->lineEnd(line);
    if (offset >= end || !isWordCharacter(offset)) {
        setSelection(offset, std::min(offset + 1, end));
        return;
    }
    qsizetype from = offset, to = offset;
    while (from > start && isWordCharacter(from - 1))
        --from;
    while (to < end && isWordCharacter(to))
        ++to;
    setSelection(from, to);
}

void HeaderTextView::keyPressEvent(QKeyEvent *event)
{
    static const struct {
        QKeySequence::StandardKey move, select;
        Motion motion;
    } motions[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::NextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Motion::PreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Motion::NextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Motion::PreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::NextLine},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::PreviousLine},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::StartOfLine},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::EndOfLine},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Motion::StartOfDocument},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::EndOfDocument},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::NextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::PreviousPage},
    };
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    for (const auto &entry : motions) {
        const bool select = event == entry.select;
        if (!select && event != entry.move)
            continue;
        const bool vertical = entry.motion == Motion::NextLine || entry.motion == Motion::PreviousLine
                              || entry.motion == Motion::NextPage || entry.motion == Motion::PreviousPage;
        if (!vertical)
            m_desiredColumn = -1;
        const qsizetype to = moved(m_cursor, entry.motion);
        setSelection(select ? m_anchor : to, to);
        bringIntoView(to, to);
        viewport()->update();
        return;
    }
    // Everything else, Escape included, goes on to the window.
    QAbstractScrollArea::keyPressEvent(event);
}

void HeaderTextView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const qsizetype at = offsetAt(event->position().toPoint());
    m_desiredColumn = -1;
    setSelection(event->modifiers().testFlag(Qt::ShiftModifier) ? m_anchor : at, at);
    m_selecting = true;
    m_lastMouse = event->position().toPoint();
}

void HeaderTextView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting || !event->buttons().testFlag(Qt::LeftButton))
        return QAbstractScrollArea::mouseMoveEvent(event);
    m_lastMouse = event->position().toPoint();
    setSelection(m_anchor, offsetAt(m_lastMouse));
    // Beyond the edges the text scrolls on while the button is held.
    if (viewport()->rect().contains(m_lastMouse))
        m_autoScroll.stop();
    else if (!m_autoScroll.isActive())
        m_autoScroll.start(50, this);
}

void HeaderTextView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    m_selecting = false;
    m_autoScroll.stop();
    copyToSelectionClipboard();
}

void HeaderTextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    selectWordAt(offsetAt(event->position().toPoint()));
    copyToSelectionClipboard();
}

void HeaderTextView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_autoScroll.timerId())
        return QAbstractScrollArea::timerEvent(event);
    const QRect area = viewport()->rect();
    if (m_lastMouse.y() < area.top())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (m_lastMouse.y() > area.bottom())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (m_lastMouse.x() < textLeft())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (m_lastMouse.x() > area.right())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    setSelection(m_anchor, offsetAt(m_lastMouse));
}

void HeaderTextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("&Copy"), this, &HeaderTextView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(m_anchor != m_cursor);
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, &HeaderTextView::selectAll)->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

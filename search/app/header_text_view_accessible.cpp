#include "header_text_view_accessible.h"

#include "header_text_view.h"

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

class Accessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit Accessible(HeaderTextView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    HeaderTextView *view() const { return static_cast<HeaderTextView *>(widget()); }
    const PreviewContent &content() const { return view()->content(); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        state.focusable = true;
        return state;
    }

    QString text(QAccessible::Text type) const override { return QAccessibleWidget::text(type); }

    // The text itself.
    int characterCount() const override { return static_cast<int>(content().text.size()); }
    QString text(int startOffset, int endOffset) const override
    {
        return content().text.mid(startOffset, std::max(0, endOffset - startOffset));
    }
    int cursorPosition() const override { return static_cast<int>(view()->cursorPosition()); }
    void setCursorPosition(int position) override
    {
        view()->setSelection(position, position);
        view()->bringIntoView(position, position);
    }

    int selectionCount() const override { return view()->anchorPosition() != view()->cursorPosition() ? 1 : 0; }
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index != 0 || selectionCount() == 0)
            return;
        *startOffset = static_cast<int>(std::min(view()->anchorPosition(), view()->cursorPosition()));
        *endOffset = static_cast<int>(std::max(view()->anchorPosition(), view()->cursorPosition()));
    }
    void addSelection(int startOffset, int endOffset) override { view()->setSelection(startOffset, endOffset); }
    void removeSelection(int index) override
    {
        if (index == 0)
            view()->setSelection(view()->cursorPosition(), view()->cursorPosition());
    }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index == 0)
            view()->setSelection(startOffset, endOffset);
    }

    QRect characterRect(int offset) const override
    {
        const QRect rect = view()->characterRect(offset);
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return static_cast<int>(view()->offsetAt(view()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int startIndex, int endIndex) override { view()->bringIntoView(startIndex, endIndex); }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset, int *endOffset) const override
    {
        return unit(offset, type, 0, startOffset, endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset, int *endOffset) const override
    {
        return unit(offset, type, -1, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset, int *endOffset) const override
    {
        return unit(offset, type, +1, startOffset, endOffset);
    }

private:
    // A line with its break, the way text interfaces hand out lines.
    void lineRange(int line, int *start, int *end) const
    {
        *start = static_cast<int>(content().lineStarts[static_cast<std::size_t>(line)]);
        *end = line + 1 < content().lineCount() ? static_cast<int>(content().lineStarts[static_cast<std::size_t>(line) + 1])
                                                : characterCount();
    }

    // The unit of the given kind at offset, or the one before or after it.
    // Sentences and paragraphs are lines here: a header has no others.
    QString unit(int offset, QAccessible::TextBoundaryType type, int step, int *start, int *end) const
    {
        *start = *end = -1;
        const int count = characterCount();
        if (offset < 0 || offset > count)
            return {};
        switch (type) {
        case QAccessible::NoBoundary:
            if (step != 0)
                return {};
            *start = 0;
            *end = count;
            return content().text;
        case QAccessible::CharBoundary:
            offset += step;
            if (offset < 0 || offset >= count)
                return {};
            *start = offset;
            *end = offset + 1;
            return text(*start, *end);
        case QAccessible::WordBoundary:
            return word(offset, step, start, end);
        default: {
            const int line = content().lineOf(std::min(offset, std::max(count - 1, 0))) + step;
            if (line < 0 || line >= content().lineCount())
                return {};
            lineRange(line, start, end);
            return text(*start, *end);
        }
        }
    }

    QString word(int offset, int step, int *start, int *end) const
    {
        int line = content().lineOf(offset);
        int lineStart, lineEnd;
        lineRange(line, &lineStart, &lineEnd);
        const QString lineText = text(lineStart, lineEnd);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Word, lineText);
        finder.setPosition(offset - lineStart);
        if (!finder.isAtBoundary())
            finder.toPreviousBoundary();
        for (; step < 0; ++step) {
            if (finder.toPreviousBoundary() < 0)
                return {};
        }
        for (; step > 0; --step) {
            if (finder.toNextBoundary() < 0 || finder.position() >= lineText.size())
                return {};
        }
        const int from = static_cast<int>(std::max<qsizetype>(finder.position(), 0));
        int to = static_cast<int>(finder.toNextBoundary());
        if (to < 0)
            to = static_cast<int>(lineText.size());
        *start = lineStart + from;
        *end = lineStart + to;
        return lineText.mid(from, to - from);
    }
};

} // namespace

QAccessibleInterface *headerTextViewAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("HeaderTextView") && object && object->isWidgetType())
        return new Accessible(static_cast<HeaderTextView *>(object));
    return nullptr;
}

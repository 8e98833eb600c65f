#include "preview_pane.h"

#include "header_text_view.h"
#include "preview_loader.h"
#include "results_model.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A long line is cut for the description a screen reader speaks.
constexpr qsizetype spokenLineLimit = 400;

bool sameSearch(const SearchRequest &a, const SearchRequest &b)
{
    return a.searchString == b.searchString && a.ignoreComments == b.ignoreComments
           && a.caseSensitive == b.caseSensitive;
}

} // namespace

PreviewPane::PreviewPane(QWidget *parent)
    : QWidget(parent)
    , m_loader(new PreviewLoader(this))
{
    nextHitAction = new QAction(style()->standardIcon(QStyle::SP_ArrowDown), tr("Next &Hit"), this);
    nextHitAction->setShortcuts({QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_G)});
    nextHitAction->setToolTip(tr("Next hit (F3)"));
    previousHitAction = new QAction(style()->standardIcon(QStyle::SP_ArrowUp), tr("Pre&vious Hit"), this);
    previousHitAction->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)});
    previousHitAction->setToolTip(tr("Previous hit (Shift+F3)"));
    connect(nextHitAction, &QAction::triggered, this, &PreviewPane::nextHit);
    connect(previousHitAction, &QAction::triggered, this, &PreviewPane::previousHit);

    m_title = new QLabel(this);
    m_title->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    hitCounter = new QLabel(this);
    hitCounter->setTextFormat(Qt::PlainText);
    auto *previous = new QToolButton(this);
    previous->setDefaultAction(previousHitAction);
    previous->setAutoRaise(true);
    auto *next = new QToolButton(this);
    next->setDefaultAction(nextHitAction);
    next->setAutoRaise(true);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 2, 2, 2);
    bar->setSpacing(6);
    bar->addWidget(m_title, 1);
    bar->addWidget(hitCounter);
    bar->addWidget(previous);
    bar->addWidget(next);

    textView = new HeaderTextView(this);
    textView->setAccessibleName(tr("Preview"));
    m_note = new QLabel(this);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setForegroundRole(QPalette::PlaceholderText);
    // In the place of the text, looking like it.
    m_note->setBackgroundRole(QPalette::Base);
    m_note->setAutoFillBackground(true);
    m_note->setFrameShape(textView->frameShape());
    m_note->setMargin(12);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(textView);
    m_pages->addWidget(m_note);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_pages, 1);

    // A header that takes a while says so; a quick one just replaces the
    // last, without a flash in between.
    m_slowLoad = new QTimer(this);
    m_slowLoad->setSingleShot(true);
    m_slowLoad->setInterval(250);
    connect(m_slowLoad, &QTimer::timeout, this, [this] {
        m_title->setText(m_wantedName);
        showNote(tr("Reading %1…").arg(m_wantedName));
    });
    connect(m_loader, &PreviewLoader::loaded, this, &PreviewPane::showContent);
    clear();
}

PreviewPane::~PreviewPane() = default;

void PreviewPane::addHitActions(QMenu *menu)
{
    menu->addAction(nextHitAction);
    menu->addAction(previousHitAction);
}

void PreviewPane::preview(const ResultRow &row, const SearchRequest &search)
{
    const QByteArray path = row.path();
    if (path == m_wantedPath && sameSearch(search, m_wantedSearch))
        return;
    m_wantedPath = path;
    m_wantedName = row.displayName();
    m_wantedDisplayPath = row.displayPath();
    m_wantedSearch = search;
    m_loader->load(path, row.displayName(), search);
    m_slowLoad->start();
}

void PreviewPane::clear()
{
    m_loader->cancel();
    m_slowLoad->stop();
    m_wantedPath.clear();
    m_shownPath.clear();
    m_title->clear();
    m_title->setToolTip({});
    m_loader->dispose(textView->setContent(nullptr));
    showNote(tr("Select a header to see it here, with what the search found in it."));
}

void PreviewPane::showContent(std::shared_ptr<const PreviewContent> content)
{
    m_slowLoad->stop();
    m_shownPath = m_wantedPath;
    m_title->setText(m_wantedName);
    m_title->setToolTip(m_wantedDisplayPath);
    if (!content->note.isEmpty()) {
        m_loader->dispose(textView->setContent(nullptr));
        showNote(content->note);
    } else {
        m_pages->setCurrentWidget(textView);
        m_loader->dispose(textView->setContent(std::move(content)));
        updateCounter();
    }
    emit contentShown();
}

void PreviewPane::showNote(const QString &note)
{
    m_note->setText(note);
    m_pages->setCurrentWidget(m_note);
    updateCounter();
}

void PreviewPane::nextHit()
{
    const int count = static_cast<int>(textView->content().hits.size());
    if (count > 0)
        goToHit((textView->currentHit() + 1) % count);
}

void PreviewPane::previousHit()
{
    const int count = static_cast<int>(textView->content().hits.size());
    if (count > 0)
        goToHit((textView->currentHit() + count - 1) % count);
}

void PreviewPane::goToHit(int index)
{
    textView->setCurrentHit(index);
    updateCounter();
}

void PreviewPane::updateCounter()
{
    const PreviewContent &content = textView->content();
    const int count = m_pages->currentWidget() == textView ? static_cast<int>(content.hits.size()) : 0;
    nextHitAction->setEnabled(count > 0);
    previousHitAction->setEnabled(count > 0);
    if (m_pages->currentWidget() != textView) {
        hitCounter->clear();
        hitCounter->setAccessibleDescription({});
        return;
    }
    if (count == 0) {
        // The header has changed since the search read it.
        hitCounter->setText(tr("No hits"));
        hitCounter->setAccessibleDescription({});
        return;
    }
    const int current = textView->currentHit();
    hitCounter->setText(tr("Hit %1 of %2").arg(current + 1).arg(count));
    // What a screen reader says of the counter: the line of the hit.
    const int line = content.lineOf(static_cast<qsizetype>(content.hits[static_cast<std::size_t>(current)].pieces.front().begin));
    const qsizetype start = content.lineStarts[static_cast<std::size_t>(line)];
    const QString text = content.text.mid(start, std::min(content.lineEnd(line) - start, spokenLineLimit));
    hitCounter->setAccessibleDescription(tr("Line %1: %2").arg(line + 1).arg(text.trimmed()));
}

#pragma once

#include "preview_content.h"
#include "search_types.h"

#include <QByteArray>
#include <QWidget>

#include <memory>

class HeaderTextView;
class PreviewLoader;
class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTimer;
class ResultRow;

// The pane below the results: the selected header with its hits, a bar with
// its name and "Hit 2 of 7", and the keys and buttons that go from hit to
// hit. Headers are prepared off the main thread; the one shown stays until
// the next is ready.
class PreviewPane : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPane(QWidget *parent = nullptr);
    ~PreviewPane() override;

    // Shows row's header with the hits of the search that listed it.
    void preview(const ResultRow &row, const SearchRequest &search);
    // Nothing selected.
    void clear();
    // Next and Previous Hit, in the menu given (the window's Edit menu).
    void addHitActions(QMenu *menu);

    void nextHit();
    void previousHit();

    HeaderTextView *textView = nullptr;
    QLabel *hitCounter = nullptr;
    QAction *nextHitAction = nullptr;
    QAction *previousHitAction = nullptr;

    // The header whose text is shown, empty when none.
    const QByteArray &shownPath() const { return m_shownPath; }
    // A header is being prepared.
    bool isLoading() const { return !m_wantedPath.isEmpty() && m_wantedPath != m_shownPath; }

signals:
    void contentShown();

private:
    void showContent(std::shared_ptr<const PreviewContent> content);
    void showNote(const QString &note);
    void goToHit(int index);
    void updateCounter();

    PreviewLoader *m_loader = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_note = nullptr;
    QStackedWidget *m_pages = nullptr;
    QTimer *m_slowLoad = nullptr;
    QByteArray m_shownPath;
    QByteArray m_wantedPath;
    QString m_wantedName, m_wantedDisplayPath;
    SearchRequest m_wantedSearch;
};

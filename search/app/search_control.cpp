#include "search_control.h"

#include "header_search.h"
#include "my_table_view.h"
#include "my_window.h"
#include "preferences.h"
#include "results_model.h"
#include "sdk_discovery.h"
#include "search_thread.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>

#include <cstdlib>

SearchControl::SearchControl(MyWindow *window, ResultsModel *tableData, QString sdkDirectory, QObject *parent)
    : QObject(parent)
    , exitProcess([](int status) { std::_Exit(status); })
    , m_window(window)
    , m_tableData(tableData)
    , m_sdkDirectory(std::move(sdkDirectory))
    , m_drainTimer(new QTimer(this))
{
    m_drainTimer->setSingleShot(true);
    connect(m_drainTimer, &QTimer::timeout, this, &SearchControl::drainSearchResults);
}

SearchControl::~SearchControl()
{
    if (m_searchThread) {
        m_window->setSearchThread(nullptr);
        m_searchThread->requestInterruption();
        m_searchThread->wait();
        delete m_searchThread;
    }
}

void SearchControl::loadSdkNums()
{
    m_sdkNums.clear();
    for (const std::string &num : sortedSDKNums(QFile::encodeName(m_sdkDirectory).toStdString()))
        m_sdkNums << QString::fromStdString(num);
}

void SearchControl::loadSkipFrameworksArray()
{
    m_skipFrameworks.clear();
    for (const std::string &name : ::loadSkipFrameworksArray())
        m_skipFrameworks << QString::fromStdString(name);
}

void SearchControl::start(const SearchRequest &request)
{
    m_window->searchCancelledLabel->hide();
    m_window->tableView->setEmptyText({});
    m_threadCancelled = false;
    m_tableData->replaceRows({});
    updateFileCountLabel();
    if (request.searchString.empty())
        return;

    m_rowsSearch = request;
    toolbarItemsSetEnabled(false);
    m_window->progInd->show();

    SearchThread::Body body;
    if (searchBody) {
        body = [standIn = searchBody, request](SearchSink &sink) { return standIn(request, sink); };
    } else {
        std::vector<std::string> nums, skipped;
        for (const QString &num : std::as_const(m_sdkNums))
            nums.push_back(QFile::encodeName(num).toStdString());
        for (const QString &name : std::as_const(m_skipFrameworks))
            skipped.push_back(QFile::encodeName(name).toStdString());
        body = [search = HeaderSearch(QFile::encodeName(m_sdkDirectory).toStdString(), std::move(nums),
                                      std::move(skipped)),
                request](SearchSink &sink) mutable { return search.searchHeadersForString(request, sink); };
    }
    m_drainTimer->stop();
    m_sinceDrain.invalidate();
    m_searchThread = new SearchThread(std::move(body));
    connect(m_searchThread, &SearchThread::resultsWaiting, this, &SearchControl::drainSearchResults,
            Qt::QueuedConnection);
    m_window->setSearchThread(m_searchThread);
    m_searchThread->start();
}

// A worker that does not end within the grace period is stuck (in a read of
// a hung file system, say): the process ends without it rather than wait.
void SearchControl::stopAtQuit()
{
    if (!m_searchThread)
        return;
    m_window->setSearchThread(nullptr);
    m_searchThread->requestInterruption();
    if (!m_searchThread->wait(QDeadlineTimer(quitGrace)))
        exitProcess(0);
}

// What was searched, and what never is, for a search that found nothing.
QString SearchControl::nothingFoundText() const
{
    static const char *const sentences[2][2] = {
        {QT_TR_NOOP("No header of %1 contains “%2”."), QT_TR_NOOP("No header of %1 contains “%2” in this letter case.")},
        {QT_TR_NOOP("No header of %1 contains “%2” outside comments."),
         QT_TR_NOOP("No header of %1 contains “%2” outside comments, in this letter case.")},
    };
    const QString title = QString::fromStdString(m_rowsSearch.sdkTitle);
    const QString where = title == Preferences::allSdksTitle ? tr("any SDK") : tr("SDK %1").arg(title);
    const QString found = tr(sentences[m_rowsSearch.ignoreComments][m_rowsSearch.caseSensitive])
                              .arg(where, QString::fromStdString(m_rowsSearch.searchString));
    QStringList frameworks;
    for (const QString &name : m_skipFrameworks)
        frameworks << QString(name).remove(QLatin1String(".framework"));
    // The C locale joins a list without its "and".
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return found + u'\n' + tr("The %1 frameworks are not searched.").arg(locale.createSeparatedList(frameworks));
}

void SearchControl::toolbarItemsSetEnabled(bool enabled)
{
    // The results take the keyboard while the controls rest, so that it
    // does not fall out of the window with them.
    QWidget *toolbarItemView = m_window->toolbarItemView;
    if (!enabled && toolbarItemView->isAncestorOf(QApplication::focusWidget()))
        m_window->tableView->setFocus();
    m_window->searchField->setEnabled(enabled);
    for (QObject *child : toolbarItemView->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            widget->setEnabled(enabled);
    }
}

void SearchControl::updateFileCountLabel()
{
    const qsizetype count = m_tableData->rows().size();
    m_window->fileCountLabel->setText(count == 1 ? tr("1 file") : tr("%n files", nullptr, static_cast<int>(count)));
}

void SearchControl::arrayAddObjects(QList<ResultRow> records)
{
    m_tableData->append(std::move(records));
    updateFileCountLabel();
}

void SearchControl::drainSearchResults()
{
    if (!m_searchThread)
        return;
    // The end is shown at once; rows wait for the next turn. The time left
    // is read once: read again, it may have run out, and a timer refused a
    // negative time would leave the rows waiting for the run's end.
    const qint64 wait = m_sinceDrain.isValid() ? drainInterval - m_sinceDrain.elapsed() : 0;
    if (wait > 0 && !m_searchThread->hasEnded()) {
        if (!m_drainTimer->isActive())
            m_drainTimer->start(static_cast<int>(wait));
        return;
    }
    drainNow();
}

void SearchControl::drainNow()
{
    if (!m_searchThread)
        return;
    m_drainTimer->stop();
    m_sinceDrain.start();
    // Batches short enough to keep the window responsive while a search
    // that finds many thousands of headers streams in.
    QElapsedTimer slice;
    slice.start();
    SearchThread::Delivery delivery;
    do {
        delivery = m_searchThread->takeDelivered(1024);
        QList<ResultRow> rows;
        rows.reserve(static_cast<qsizetype>(delivery.records.size()));
        for (ResultRecord &record : delivery.records)
            rows.append(ResultRow(std::move(record.name), std::move(record.path)));
        arrayAddObjects(std::move(rows));
    } while (delivery.more && slice.elapsed() < 15);
    if (delivery.more) {
        QMetaObject::invokeMethod(this, &SearchControl::drainNow, Qt::QueuedConnection);
    } else if (delivery.finished) {
        m_threadCancelled = delivery.cancelled;
        threadFinished();
    }
}

void SearchControl::threadFinished()
{
    if (m_threadCancelled)
        m_window->searchCancelledLabel->show();
    else if (m_tableData->rows().isEmpty())
        m_window->tableView->setEmptyText(nothingFoundText());
    m_window->setSearchThread(nullptr);
    m_searchThread->wait(); // it has posted its end; only its return is left
    delete std::exchange(m_searchThread, nullptr);
    updateFileCountLabel();
    m_window->progInd->hide();
    toolbarItemsSetEnabled(true);
    m_window->searchField->setFocus();
}

#include "app_delegate.h"

#include "header_search.h"
#include "my_table_view.h"
#include "my_window.h"
#include "preview_pane.h"
#include "row_actions.h"
#include "sdk_path_delegate.h"
#include "sdk_discovery.h"
#include "search_thread.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>

#include <cstdlib>

AppDelegate::AppDelegate(MyWindow *window, QString sdkDirectory, QObject *parent)
    : QObject(parent)
    , window(window)
    , searchField(window->searchField)
    , progInd(window->progInd)
    , toolbarItemView(window->toolbarItemView)
    , sdkPopUp(window->sdkPopUp)
    , ignoreCommentsCheck(window->ignoreCommentsCheck)
    , caseSensitiveCheck(window->caseSensitiveCheck)
    , tableView(window->tableView)
    , fileCountLabel(window->fileCountLabel)
    , searchCancelledLabel(window->searchCancelledLabel)
    , exitProcess([](int status) { std::_Exit(status); })
    , m_sdkDirectory(std::move(sdkDirectory))
    , m_prefs(window)
    , m_drainTimer(new QTimer(this))
{
    m_drainTimer->setSingleShot(true);
    connect(m_drainTimer, &QTimer::timeout, this, &AppDelegate::drainSearchResults);
    tableData.setSdkDirectory(m_sdkDirectory);
    tableView->setModel(&tableData);
    tableView->setItemDelegateForColumn(static_cast<int>(ResultsModel::columnIdentifiers.indexOf(QStringLiteral("Path"))),
                                        new SdkPathDelegate(tableView));
    tableView->setPreferredFirstColumnWidth(240);
    connect(searchField, &QLineEdit::returnPressed, this, &AppDelegate::searchFieldAction);
    connect(window->findAction, &QAction::triggered, this, &AppDelegate::findAction);
    connect(tableView, &QAbstractItemView::doubleClicked, this, &AppDelegate::tableViewDoubleAction);
    connect(tableView, &MyTableView::doubleAction, this, &AppDelegate::tableViewDoubleAction);
    m_sorting = std::make_unique<ResultsSorting>(window, &tableData);
    m_prefs.restoreWindowSize();
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);

    rowActions = new RowActions(tableView, &tableData, this);
    // The preview follows the selected record.
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &AppDelegate::previewSelectedRow);
    connect(tableView->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &AppDelegate::previewSelectedRow);
    connect(&tableData, &QAbstractItemModel::layoutChanged, this, &AppDelegate::previewSelectedRow);
    connect(&tableData, &QAbstractItemModel::modelReset, this, &AppDelegate::previewSelectedRow);
}

AppDelegate::~AppDelegate()
{
    if (searchThread) {
        window->setSearchThread(nullptr);
        searchThread->requestInterruption();
        searchThread->wait();
        delete searchThread;
    }
}

void AppDelegate::applicationDidFinishLaunching()
{
    loadPrefs();
    loadSkipFrameworksArray();
    searchField->setFocus();
}

// The settings first, then the search is asked to stop. A worker that
// does not end within the grace period is stuck (in a read of a hung file
// system, say): the process ends without it rather than wait.
void AppDelegate::applicationWillTerminate()
{
    savePrefs();
    if (!searchThread)
        return;
    window->setSearchThread(nullptr);
    searchThread->requestInterruption();
    if (!searchThread->wait(QDeadlineTimer(quitGrace)))
        exitProcess(0);
}

void AppDelegate::loadPrefs()
{
    sdkNums.clear();
    for (const std::string &num : sortedSDKNums(QFile::encodeName(m_sdkDirectory).toStdString()))
        sdkNums << QString::fromStdString(num);
    m_prefs.loadPrefs(sdkNums);
}

void AppDelegate::savePrefs()
{
    m_prefs.savePrefs();
}

void AppDelegate::loadSkipFrameworksArray()
{
    skipFrameworks.clear();
    for (const std::string &name : ::loadSkipFrameworksArray())
        skipFrameworks << QString::fromStdString(name);
}

void AppDelegate::searchFieldAction()
{
    searchCancelledLabel->hide();
    tableView->setEmptyText({});
    threadCancelled = false;
    m_sorting->clearSortDescriptors();
    tableData.replaceRows({});
    updateFileCountLabel();

    const QString text = searchField->text();
    if (text.isEmpty())
        return;

    SearchRequest request;
    request.searchString = text.toStdString();
    request.sdkTitle = m_prefs.selectedSdkTitle().toStdString();
    request.ignoreComments = ignoreCommentsCheck->checkState() == Qt::Checked;
    request.caseSensitive = caseSensitiveCheck->checkState() == Qt::Checked;

    m_rowsSearch = request;
    toolbarItemsSetEnabled(false);
    progInd->show();

    SearchThread::Body body;
    if (searchBody) {
        body = [standIn = searchBody, request](SearchSink &sink) { return standIn(request, sink); };
    } else {
        std::vector<std::string> nums, skipped;
        for (const QString &num : std::as_const(sdkNums))
            nums.push_back(QFile::encodeName(num).toStdString());
        for (const QString &name : std::as_const(skipFrameworks))
            skipped.push_back(QFile::encodeName(name).toStdString());
        body = [search = HeaderSearch(QFile::encodeName(m_sdkDirectory).toStdString(), std::move(nums),
                                      std::move(skipped)),
                request](SearchSink &sink) mutable { return search.searchHeadersForString(request, sink); };
    }
    m_drainTimer->stop();
    m_sinceDrain.invalidate();
    searchThread = new SearchThread(std::move(body));
    connect(searchThread, &SearchThread::resultsWaiting, this, &AppDelegate::drainSearchResults, Qt::QueuedConnection);
    window->setSearchThread(searchThread);
    searchThread->start();
}

// What was searched, and what never is, for a search that found nothing.
QString AppDelegate::nothingFoundText() const
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
    for (const QString &name : skipFrameworks)
        frameworks << QString(name).remove(QLatin1String(".framework"));
    // The C locale joins a list without its "and".
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return found + u'\n' + tr("The %1 frameworks are not searched.").arg(locale.createSeparatedList(frameworks));
}

void AppDelegate::findAction()
{
    searchField->setFocus(Qt::ShortcutFocusReason);
}

void AppDelegate::toolbarItemsSetEnabled(bool enabled)
{
    // The results take the keyboard while the controls rest, so that it
    // does not fall out of the window with them.
    if (!enabled && toolbarItemView->isAncestorOf(QApplication::focusWidget()))
        tableView->setFocus();
    searchField->setEnabled(enabled);
    for (QObject *child : toolbarItemView->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            widget->setEnabled(enabled);
    }
}

void AppDelegate::updateFileCountLabel()
{
    const qsizetype count = tableData.rows().size();
    fileCountLabel->setText(count == 1 ? tr("1 file") : tr("%n files", nullptr, static_cast<int>(count)));
}

void AppDelegate::tableViewDoubleAction()
{
    rowActions->open();
}

void AppDelegate::previewSelectedRow()
{
    const int row = tableView->selectedRow();
    if (row < 0)
        window->previewPane->clear();
    else
        window->previewPane->preview(tableData.rows().at(row), m_rowsSearch);
}

void AppDelegate::arrayAddObjects(QList<ResultRow> records)
{
    tableData.append(std::move(records));
    updateFileCountLabel();
}

void AppDelegate::drainSearchResults()
{
    if (!searchThread)
        return;
    // The end is shown at once; rows wait for the next turn.
    if (m_sinceDrain.isValid() && !m_sinceDrain.hasExpired(drainInterval) && !searchThread->hasEnded()) {
        if (!m_drainTimer->isActive())
            m_drainTimer->start(static_cast<int>(drainInterval - m_sinceDrain.elapsed()));
        return;
    }
    drainNow();
}

void AppDelegate::drainNow()
{
    if (!searchThread)
        return;
    m_drainTimer->stop();
    m_sinceDrain.start();
    // Batches short enough to keep the window responsive while a search
    // that finds many thousands of headers streams in.
    QElapsedTimer slice;
    slice.start();
    SearchThread::Delivery delivery;
    do {
        delivery = searchThread->takeDelivered(1024);
        QList<ResultRow> rows;
        rows.reserve(static_cast<qsizetype>(delivery.records.size()));
        for (const ResultRecord &record : delivery.records)
            rows.append(ResultRow(QByteArray::fromStdString(record.name), QByteArray::fromStdString(record.path)));
        arrayAddObjects(std::move(rows));
    } while (delivery.more && slice.elapsed() < 15);
    if (delivery.more) {
        QMetaObject::invokeMethod(this, &AppDelegate::drainNow, Qt::QueuedConnection);
    } else if (delivery.finished) {
        threadCancelled = delivery.cancelled;
        threadFinished();
    }
}

void AppDelegate::threadFinished()
{
    if (threadCancelled)
        searchCancelledLabel->show();
    else if (tableData.rows().isEmpty())
        tableView->setEmptyText(nothingFoundText());
    window->setSearchThread(nullptr);
    searchThread->wait(); // it has posted its end; only its return is left
    delete std::exchange(searchThread, nullptr);
    updateFileCountLabel();
    progInd->hide();
    toolbarItemsSetEnabled(true);
    searchField->setFocus();
}

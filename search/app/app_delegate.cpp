#include "app_delegate.h"

#include "my_table_view.h"
#include "my_window.h"
#include "preview_pane.h"
#include "sdk_path_delegate.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>

AppDelegate::AppDelegate(MyWindow *window, QString sdkDirectory, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_prefs(window)
{
    MyTableView *tableView = window->tableView;
    m_tableData.setSdkDirectory(sdkDirectory);
    tableView->setModel(&m_tableData);
    tableView->setItemDelegateForColumn(static_cast<int>(ResultsModel::columnIdentifiers.indexOf(QStringLiteral("Path"))),
                                        new SdkPathDelegate(tableView));
    tableView->setPreferredFirstColumnWidth(240);
    m_search = std::make_unique<SearchControl>(window, &m_tableData, std::move(sdkDirectory));
    connect(window->searchField, &QLineEdit::returnPressed, this, &AppDelegate::searchFieldAction);
    connect(window->findAction, &QAction::triggered, this, &AppDelegate::findAction);
    connect(tableView, &QAbstractItemView::doubleClicked, this, &AppDelegate::tableViewDoubleAction);
    connect(tableView, &MyTableView::doubleAction, this, &AppDelegate::tableViewDoubleAction);
    m_sorting = std::make_unique<ResultsSorting>(window, &m_tableData);
    m_prefs.restoreWindowSize();
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);

    m_rowActions = std::make_unique<RowActions>(tableView, &m_tableData);
    // The preview follows the selected record.
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &AppDelegate::previewSelectedRow);
    connect(tableView->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &AppDelegate::previewSelectedRow);
    connect(&m_tableData, &QAbstractItemModel::layoutChanged, this, &AppDelegate::previewSelectedRow);
    connect(&m_tableData, &QAbstractItemModel::modelReset, this, &AppDelegate::previewSelectedRow);
}

void AppDelegate::applicationDidFinishLaunching()
{
    loadPrefs();
    loadSkipFrameworksArray();
    m_window->searchField->setFocus();
}

// The settings first, then the search is asked to stop.
void AppDelegate::applicationWillTerminate()
{
    savePrefs();
    m_search->stopAtQuit();
}

void AppDelegate::loadPrefs()
{
    m_search->loadSdkNums();
    m_prefs.loadPrefs(m_search->sdkNums());
}

void AppDelegate::savePrefs()
{
    m_prefs.savePrefs();
}

void AppDelegate::loadSkipFrameworksArray()
{
    m_search->loadSkipFrameworksArray();
}

void AppDelegate::searchFieldAction()
{
    m_sorting->clearSortDescriptors();
    SearchRequest request;
    request.searchString = m_window->searchField->text().toStdString();
    request.sdkTitle = m_prefs.selectedSdkTitle().toStdString();
    request.ignoreComments = m_window->ignoreCommentsCheck->checkState() == Qt::Checked;
    request.caseSensitive = m_window->caseSensitiveCheck->checkState() == Qt::Checked;
    m_search->start(request);
}

void AppDelegate::findAction()
{
    m_window->searchField->setFocus(Qt::ShortcutFocusReason);
}

void AppDelegate::tableViewDoubleAction()
{
    m_rowActions->open();
}

void AppDelegate::previewSelectedRow()
{
    const int row = m_window->tableView->selectedRow();
    if (row < 0)
        m_window->previewPane->clear();
    else
        m_window->previewPane->preview(m_tableData.rows().at(row), m_search->rowsSearch());
}

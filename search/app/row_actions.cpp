#include "row_actions.h"

#include "application_chooser.h"
#include "file_manager.h"
#include "my_table_view.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>

RowActions::RowActions(MyTableView *table, ResultsModel *tableData, QObject *parent)
    : QObject(parent)
    , openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
    , setClipboard([](QMimeData *data) { QGuiApplication::clipboard()->setMimeData(data); })
    , applicationChooser(new ApplicationChooser(QStringLiteral("org.freedesktop.portal.Desktop"), this))
    , m_table(table)
    , m_tableData(tableData)
{
    const auto make = [&](const QString &text, const QKeySequence &keys, void (RowActions::*slot)()) {
        auto *action = new QAction(text, this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        table->addAction(action);
        return action;
    };
    // Return opens already, in the table's own key handling (the keypad's
    // Enter does not); the menu only shows the key.
    openAction = new QAction(tr("&Open"), this);
    openAction->setShortcut(QKeySequence(Qt::Key_Return));
    openAction->setShortcutContext(Qt::WidgetShortcut);
    connect(openAction, &QAction::triggered, this, &RowActions::open);
    openWithAction = make(tr("Open &With…"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O), &RowActions::openWith);
    showInFilesAction = make(tr("Show in &Files"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R), &RowActions::showInFiles);
    copyPathAction = make(tr("Copy &Path"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C), &RowActions::copyPaths);
    copyNameAction = make(tr("Copy &Name"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N), &RowActions::copyNames);

    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &RowActions::showContextMenu);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RowActions::updateEnabled);
    connect(tableData, &QAbstractItemModel::modelReset, this, &RowActions::updateEnabled);
    connect(applicationChooser, &ApplicationChooser::availabilityChanged, this, &RowActions::updateEnabled);
    updateEnabled();
}

QList<ResultRow> RowActions::selectedRecords() const
{
    QModelIndexList selected = m_table->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<ResultRow> records;
    for (const QModelIndex &index : std::as_const(selected))
        records << m_tableData->rows().at(index.row());
    return records;
}

void RowActions::updateEnabled()
{
    const bool any = m_table->selectionModel()->hasSelection();
    openAction->setEnabled(any);
    openWithAction->setEnabled(any && applicationChooser->isAvailable());
    showInFilesAction->setEnabled(any);
    copyPathAction->setEnabled(any);
    copyNameAction->setEnabled(any);
}

QMenu *RowActions::contextMenu(QWidget *parent) const
{
    auto *menu = new QMenu(parent);
    menu->addAction(openAction);
    if (applicationChooser->isAvailable())
        menu->addAction(openWithAction);
    menu->addSeparator();
    menu->addAction(showInFilesAction);
    menu->addSeparator();
    menu->addAction(copyPathAction);
    menu->addAction(copyNameAction);
    return menu;
}

void RowActions::showContextMenu(const QPoint &position)
{
    const QModelIndex index = m_table->indexAt(position);
    if (!index.isValid())
        return;
    // The menu is about the row under the pointer, as in a file manager.
    if (!m_table->selectionModel()->isRowSelected(index.row(), {}))
        m_table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    applicationChooser->refresh();
    QMenu *menu = contextMenu(m_table);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_table->viewport()->mapToGlobal(position));
}

void RowActions::open()
{
    const int row = m_table->selectedRow();
    if (row >= 0)
        openUrl(m_tableData->rows().at(row).url());
}

void RowActions::openWith()
{
    const int row = m_table->selectedRow();
    if (row < 0 || !applicationChooser->isAvailable())
        return;
    QString parent;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        parent = QStringLiteral("x11:%1").arg(m_table->window()->winId(), 0, 16);
    applicationChooser->choose(m_tableData->rows().at(row).path(), parent);
}

void RowActions::showInFiles()
{
    QList<QByteArray> paths;
    for (const ResultRow &row : selectedRecords())
        paths << row.path();
    showInFileManager(paths, openUrl, fileManagerService);
}

void RowActions::copyPaths()
{
    copyEach(&ResultRow::displayPath);
}

void RowActions::copyNames()
{
    copyEach(&ResultRow::displayName);
}

void RowActions::copyEach(QString (ResultRow::*text)() const)
{
    QStringList texts;
    for (const ResultRow &row : selectedRecords())
        texts << (row.*text)();
    if (texts.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setText(texts.join(u'\n'));
    setClipboard(data);
}

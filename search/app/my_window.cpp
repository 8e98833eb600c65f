#include "my_window.h"

#include "flow_layout.h"
#include "help_menu.h"
#include "my_table_view.h"
#include "preview_pane.h"
#include "search_field.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

MyWindow::MyWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Scoutmark"));

    // The toolbar of the layout: a strip that wraps its controls onto more
    // rows when the window is narrow, where a tool bar would hide them in an
    // overflow menu out of the keyboard's reach.
    toolbarItemView = new QWidget(this);
    auto *items = new FlowLayout(toolbarItemView, 12, 6);
    items->setContentsMargins(8, 6, 8, 6);
    searchField = new SearchField(toolbarItemView);
    searchField->setPlaceholderText(tr("Search headers"));
    searchField->setClearButtonEnabled(true);
    searchField->setAccessibleName(tr("Search"));
    searchField->setMinimumWidth(searchField->fontMetrics().averageCharWidth() * 16);
    searchField->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *sdkItem = new QWidget(toolbarItemView); // the label stays with its pop-up
    auto *sdkLayout = new QHBoxLayout(sdkItem);
    sdkLayout->setContentsMargins(0, 0, 0, 0);
    auto *sdkLabel = new QLabel(tr("&SDK:"), sdkItem);
    sdkPopUp = new QComboBox(sdkItem);
    sdkPopUp->setAccessibleName(tr("SDK"));
    sdkPopUp->setToolTip(tr("The SDK to search"));
    sdkPopUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sdkLabel->setBuddy(sdkPopUp); // how assistive technology names the pop-up
    sdkLayout->addWidget(sdkLabel);
    sdkLayout->addWidget(sdkPopUp);
    ignoreCommentsCheck = new QCheckBox(tr("Ignore &comments"), toolbarItemView);
    caseSensitiveCheck = new QCheckBox(tr("Case se&nsitive"), toolbarItemView);
    items->addWidget(searchField);
    items->addWidget(sdkItem);
    items->addWidget(ignoreCommentsCheck);
    items->addWidget(caseSensitiveCheck);

    tableView = new MyTableView(this);
    tableView->setAccessibleName(tr("Results"));
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows for the copy actions and for dragging out as files.
    tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableView->setDragEnabled(true);
    tableView->setDragDropMode(QAbstractItemView::DragOnly);
    tableView->setDefaultDropAction(Qt::CopyAction);
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView->setAlternatingRowColors(true);
    tableView->setShowGrid(false);
    tableView->setWordWrap(false);
    // Paths start with their SDK, which the middle's dots leave in view.
    tableView->setTextElideMode(Qt::ElideMiddle);
    // Tab goes on to the next control, not from cell to cell.
    tableView->setTabKeyNavigation(false);
    tableView->verticalHeader()->hide();
    tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tableView->verticalHeader()->setDefaultSectionSize(tableView->fontMetrics().height() + 6);
    tableView->horizontalHeader()->setSectionsClickable(true);
    tableView->horizontalHeader()->setHighlightSections(false);
    tableView->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tableView->horizontalHeader()->setStretchLastSection(true);
    previewPane = new PreviewPane(this);
    splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(tableView);
    splitter->addWidget(previewPane);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 420});
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(toolbarItemView);
    column->addWidget(splitter, 1);
    setCentralWidget(central);

    progInd = new QProgressBar(this);
    progInd->setRange(0, 0);
    progInd->setMaximumWidth(120);
    progInd->setMaximumHeight(14);
    progInd->setTextVisible(false);
    progInd->setAccessibleName(tr("Searching"));
    progInd->hide();
    fileCountLabel = new QLabel(this);
    searchCancelledLabel = new QLabel(tr("Search cancelled"), this);
    searchCancelledLabel->hide();
    statusBar()->setSizeGripEnabled(true);
    statusBar()->addWidget(progInd);
    statusBar()->addWidget(fileCountLabel);
    statusBar()->addPermanentWidget(searchCancelledLabel);

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Quit"), QKeySequence::Quit, qApp, &QApplication::closeAllWindows);
    editMenu = menuBar()->addMenu(tr("&Edit"));
    findAction = editMenu->addAction(tr("&Find"));
    findAction->setShortcut(QKeySequence::Find);
    editMenu->addSeparator();
    previewPane->addHitActions(editMenu);
    // The column headers sort with the mouse; this menu is their keyboard.
    viewMenu = menuBar()->addMenu(tr("&View"));
    auto *sortKeys = new QActionGroup(this);
    sortByNameAction = sortKeys->addAction(tr("Sort by &Name"));
    sortByPathAction = sortKeys->addAction(tr("Sort by &Path"));
    sortDescendingAction = new QAction(tr("Sort &Descending"), this);
    for (QAction *action : {sortByNameAction, sortByPathAction, sortDescendingAction}) {
        action->setCheckable(true);
        viewMenu->addAction(action);
    }
    viewMenu->insertSeparator(sortDescendingAction);
    addHelpMenu(this);

    resizeWithinScreen(QSize(960, 720));
}

void MyWindow::resizeWithinScreen(QSize wanted)
{
    // Room for a window manager's frame, which is not known before the
    // window is shown.
    const QSize frame(16, 48);
    resize(wanted.boundedTo(screen()->availableGeometry().size() - frame));
}

void MyWindow::cancelOperation()
{
    if (m_searchThread)
        m_searchThread->requestInterruption();
}

void MyWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        cancelOperation();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

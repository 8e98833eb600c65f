#include "my_window.h"

#include "help_menu.h"
#include "my_table_view.h"
#include "preview_pane.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>

MyWindow::MyWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Scoutmark"));

    auto *toolbar = addToolBar(tr("Search"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    searchField = new QLineEdit(toolbar);
    searchField->setPlaceholderText(tr("Search headers"));
    searchField->setClearButtonEnabled(true);
    searchField->setAccessibleName(tr("Search"));
    searchField->setMinimumWidth(280);
    toolbar->addWidget(searchField);

    toolbarItemView = new QWidget(toolbar);
    auto *items = new QHBoxLayout(toolbarItemView);
    items->setContentsMargins(12, 0, 4, 0);
    items->setSpacing(10);
    auto *sdkLabel = new QLabel(tr("&SDK:"), toolbarItemView);
    sdkPopUp = new QComboBox(toolbarItemView);
    sdkPopUp->setAccessibleName(tr("SDK"));
    sdkPopUp->setToolTip(tr("The SDK to search"));
    sdkPopUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sdkLabel->setBuddy(sdkPopUp); // how assistive technology names the pop-up
    ignoreCommentsCheck = new QCheckBox(tr("Ignore &comments"), toolbarItemView);
    caseSensitiveCheck = new QCheckBox(tr("Case se&nsitive"), toolbarItemView);
    items->addWidget(sdkLabel);
    items->addWidget(sdkPopUp);
    items->addWidget(ignoreCommentsCheck);
    items->addWidget(caseSensitiveCheck);
    toolbar->addWidget(toolbarItemView);

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
    tableView->setTextElideMode(Qt::ElideMiddle);
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
    setCentralWidget(splitter);

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
    addHelpMenu(this);

    resize(960, 720);
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

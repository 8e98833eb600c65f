#include "window.h"

#include "menu_bar.h"
#include "sdk_table_view.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Window::Window(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Tarnwick"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 12, 12, 12);

    auto *heading = new QLabel(tr("SDKs"), central);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    sdkTable = new SdkTableView(central);
    sdkTable->setAccessibleName(tr("SDKs"));
    heading->setBuddy(sdkTable);
    layout->addWidget(sdkTable, 1);

    auto *hint = new QLabel(tr("Hold Alt to export a single SDK."), central);
    hint->setEnabled(false);
    layout->addWidget(hint);

    auto *buttons = new QHBoxLayout;
    showInFilesButton = new QPushButton(tr("Show in Files"), central);
    fixAllButton = new QPushButton(tr("Fix All"), central);
    restoreAllButton = new QPushButton(tr("Restore All"), central);
    exportAllButton = new QPushButton(tr("Export All…"), central);
    importButton = new QPushButton(tr("Import…"), central);
    buttons->addWidget(showInFilesButton);
    buttons->addStretch(1);
    for (QPushButton *button : {fixAllButton, restoreAllButton, exportAllButton, importButton})
        buttons->addWidget(button);
    layout->addLayout(buttons);

    setCentralWidget(central);
    addMenuBar(this);
    resize(560, 440);
    qApp->installEventFilter(this);
}

Window::~Window()
{
    qApp->removeEventFilter(this);
}

void Window::flagsChanged(Qt::KeyboardModifiers modifiers)
{
    const bool down = modifiers.testFlag(Qt::AltModifier);
    if (down == m_altKeyDown)
        return;
    m_altKeyDown = down;
    if (m_tableView)
        m_tableView->reloadData();
}

bool Window::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        emit windowDidBecomeKey();
    return QMainWindow::event(event);
}

// Key events go to the focused control, so the whole application is
// watched, and only what happens while this window is the active one counts.
bool Window::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            const auto *key = static_cast<QKeyEvent *>(event);
            Qt::KeyboardModifiers modifiers = key->modifiers();
            // The event of the Alt key itself may carry the state before it.
            if (key->key() == Qt::Key_Alt)
                modifiers.setFlag(Qt::AltModifier, event->type() == QEvent::KeyPress);
            flagsChanged(modifiers);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

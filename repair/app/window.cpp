#include "window.h"

#include "dimmed_text.h"
#include "elided_label.h"
#include "menu_bar.h"
#include "sdk_table_view.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QString windowSizeKey = QStringLiteral("WindowSize");

} // namespace

Window::Window(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Tarnwick"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 12, 12, 12);

    // The heading, and beside it what opens the folder it names: the row of
    // buttons below would not fit a narrow window with it.
    auto *top = new QHBoxLayout;
    auto *heading = new QLabel(tr("SDKs"), central);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    top->addWidget(heading);
    top->addStretch(1);
    showInFilesButton = new QPushButton(tr("Show in Files"), central);
    top->addWidget(showInFilesButton);
    layout->addLayout(top);

    sdkTable = new SdkTableView(central);
    sdkTable->setAccessibleName(tr("SDKs"));
    heading->setBuddy(sdkTable);
    layout->addWidget(sdkTable, 1);

    // One line below the table: the hint; while the tool works, what it
    // does and how far it is; afterwards, how it ended. All take the same
    // height, so nothing jumps.
    m_statusLine = new QStackedWidget(central);
    // A hint, not a control: dimmed, but not shown as unavailable.
    m_hint = new QLabel(tr("Hold Alt or use a row’s menu to export one SDK."), m_statusLine);
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    makePlaceholderTextReadable(m_hint, palette(), QPalette::WindowText, {QPalette::Window});
    m_statusLine->addWidget(m_hint);
    auto *progress = new QWidget(m_statusLine);
    auto *progressLayout = new QHBoxLayout(progress);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLabel = new ElidedLabel(progress);
    progressBar = new QProgressBar(progress);
    progressBar->setRange(0, 1000);
    progressBar->setTextVisible(false);
    progressBar->setAccessibleName(tr("Progress"));
    progressLayout->addWidget(progressLabel, 3);
    progressLayout->addWidget(progressBar, 2);
    m_statusLine->addWidget(progress);
    statusLabel = new ElidedLabel(m_statusLine);
    m_statusLine->addWidget(statusLabel);
    m_statusLine->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(m_statusLine);

    auto *buttons = new QHBoxLayout;
    fixAllButton = new QPushButton(tr("Fix All"), central);
    restoreAllButton = new QPushButton(tr("Restore All"), central);
    exportAllButton = new QPushButton(tr("Export All…"), central);
    importButton = new QPushButton(tr("Import…"), central);
    buttons->addStretch(1);
    for (QPushButton *button : {fixAllButton, restoreAllButton, exportAllButton, importButton})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    // Return presses the button that has the focus, as Space does.
    for (QPushButton *button : {showInFilesButton, fixAllButton, restoreAllButton, exportAllButton, importButton})
        button->setAutoDefault(true);
    // Reading order: the button above the rows, the rows, the buttons below.
    sdkTable->setTabOrderAfterRows({fixAllButton, restoreAllButton, exportAllButton, importButton});

    setCentralWidget(central);
    addMenuBar(this);
    resize(sizeOnScreen(QSettings().value(windowSizeKey, QSize(560, 440)).toSize()));
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { QSettings().setValue(windowSizeKey, size()); });
    qApp->installEventFilter(this);
}

// No larger than the screen, whatever its scale; the desktop's frame is not
// known before the window is shown, so room is left for a title bar.
QSize Window::sizeOnScreen(const QSize &wanted) const
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QSize frame(16, 48);
    return wanted.boundedTo(screen->availableGeometry().size() - frame).expandedTo(minimumSizeHint());
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
    sdkTable->reloadData();
}

void Window::showRunProgress(const QString &text, std::optional<int> permille)
{
    progressLabel->setText(text);
    progressBar->setAccessibleDescription(text);
    if (permille) {
        progressBar->setRange(0, 1000);
        progressBar->setValue(*permille);
    } else {
        progressBar->setRange(0, 0); // moves without a measure
    }
    m_statusLine->setCurrentIndex(1);
}

void Window::showStatusMessage(const QString &text)
{
    statusLabel->setText(text);
    m_statusLine->setCurrentWidget(statusLabel);
}

void Window::showHint()
{
    m_statusLine->setCurrentWidget(m_hint);
}

void Window::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && m_hint)
        makePlaceholderTextReadable(m_hint, palette(), QPalette::WindowText, {QPalette::Window});
    QMainWindow::changeEvent(event);
}

bool Window::event(QEvent *event)
{
    // A modifier released while another window had the keyboard (Alt+Tab)
    // never reaches this one: ask the keyboard itself whenever the window
    // gains or loses it.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        flagsChanged(QGuiApplication::queryKeyboardModifiers());
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

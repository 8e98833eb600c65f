#include "tarnwick_fixture.h"

#include "framework_layout.h"
#include "sdk_table_view.h"
#include "table_cell_view.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

void TarnwickTest::SetUp()
{
    QDir().mkpath(sdks);
    acceptDisclaimer(true);
}

void TarnwickTest::TearDown()
{
    delegate.reset();
    window.reset();
    acceptDisclaimer(false);
}

void TarnwickTest::makeSdks(const QStringList &names, const QStringList &fixed)
{
    const FrameworkLayout layout(sdks);
    for (const QString &name : names)
        QDir().mkpath(layout.qdFrameworkPathToHeaderDirectory("Headers", name));
    for (const QString &name : fixed)
        QDir().mkpath(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", name));
}

void TarnwickTest::acceptDisclaimer(bool accepted)
{
    const QString marker = AppDelegate::eulaAcceptedFilePath();
    if (accepted) {
        QDir().mkpath(QFileInfo(marker).path());
        QFile(marker).open(QIODevice::WriteOnly);
    } else {
        QFile::remove(marker);
        QDir().rmdir(marker);
    }
}

void TarnwickTest::launch()
{
    delegate.reset();
    window.reset();
    window = std::make_unique<Window>();
    delegate = std::make_unique<AppDelegate>(window.get(), sdks, &runner);
    delegate->beep = [this] { ++beeps; };
    delegate->terminate = [this] { ++terminations; };
    delegate->openUrl = [this](const QUrl &url) { opened.append(url); };
    delegate->beginOpenPanel = [this](const OpenPanel &panel, OpenPanelCompletion completion) {
        panels.append(panel);
        pendingPanel = std::move(completion);
    };
    window->show();
    delegate->applicationDidFinishLaunching();
    // Activation comes late offscreen and reloads the table; let it pass.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
}

int TarnwickTest::rowOf(const QString &sdk) const
{
    for (int row = 0; row < window->sdkTable->numberOfRows(); ++row)
        if (window->sdkTable->viewAtRow(row)->textField()->text() == sdk)
            return row;
    ADD_FAILURE() << "no row for " << sdk.toStdString();
    return -1;
}

RowState TarnwickTest::rowState(const QString &sdk) const
{
    const TableCellView *view = window->sdkTable->viewAtRow(rowOf(sdk));
    if (!view)
        return {};
    return {view->button()->text(), view->button()->isHidden(), view->button()->isEnabled(),
            view->textField()->palette().color(view->textField()->foregroundRole())};
}

QPushButton *TarnwickTest::rowButton(const QString &sdk) const
{
    const TableCellView *view = window->sdkTable->viewAtRow(rowOf(sdk));
    return view ? view->button() : nullptr;
}

// Events as the platform sends them, one per key; QTest's helpers add
// events of their own for the modifiers.
void TarnwickTest::sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent event(type, key, modifiers);
    QApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window.get(), &event);
}

void TarnwickTest::pressAlt(bool down)
{
    if (down)
        sendKey(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    else
        sendKey(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
}

void TarnwickTest::choose(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    ASSERT_TRUE(pendingPanel);
    std::exchange(pendingPanel, nullptr)(1, urls);
}

void TarnwickTest::cancelPanel()
{
    ASSERT_TRUE(pendingPanel);
    std::exchange(pendingPanel, nullptr)(0, {});
}

QString TarnwickTest::lastMessage() const
{
    return delegate->alertSheet ? delegate->alertSheet->text() : QString();
}

QString TarnwickTest::lastInformativeText() const
{
    return delegate->alertSheet ? delegate->alertSheet->informativeText() : QString();
}

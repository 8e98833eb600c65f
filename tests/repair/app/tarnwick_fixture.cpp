#include "tarnwick_fixture.h"

#include "fix_plan.h"
#include "framework_layout.h"
#include "restore_plan.h"
#include "sdk_catalogue.h"
#include "sample_sdks.h"

#include <QContextMenuEvent>
#include <QFile>


void TarnwickTest::SetUp()
{
    QDir().mkpath(sdks);
    QDir().mkpath(elsewhere);
    // The SDK directory of the test build's tools.
    qputenv("TARNWICK_TEST_SDK_DIRECTORY", sdks.toUtf8());
    acceptDisclaimer(true);
}

void TarnwickTest::TearDown()
{
    for (const char *hold : {"first", "second", "answer"})
        release(hold);
    delegate.reset();
    window.reset();
    qunsetenv("STAND_IN_HOLD");
    qunsetenv("STAND_IN_REFUSE");
    acceptDisclaimer(false);
}

void TarnwickTest::makeSdks(const QStringList &names, const QStringList &fixed)
{
    const FrameworkLayout layout(sdks);
    for (const QString &name : names)
        QDir().mkpath(layout.qdFrameworkPathToHeaderDirectory("Headers", name));
    for (const QString &name : fixed)
        QDir().mkpath(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", name));
    // Stand-ins for every item their fixes and restores take, in the SDKs
    // made here, so that the plans pass the checks made before a run.
    for (const QString &name : names) {
        if (!SdkCatalogue::isSdkName(name) || !isInFixableRange(SdkCatalogue::osMinorNumFromSDK(name)))
            continue;
        QStringList plan;
        (fixed.contains(name) ? addRestoreActions : addFixActions)(plan, name, layout);
        for (qsizetype i = 0; i + 2 < plan.size(); i += 3) {
            const QString &taken = plan[i + 1];
            const QString sdk = taken.mid(sdks.size() + 1).section(u'/', 0, 0);
            if (plan[i] == "Remove" || !names.contains(sdk) || FrameworkLayout::anythingAt(taken))
                continue;
            const QString item = taken.section(u'/', -1);
            if (item == "Headers" || item.endsWith(".framework")) {
                QDir().mkpath(taken);
            } else {
                QDir().mkpath(QFileInfo(taken).path());
                QFile(taken).open(QIODevice::WriteOnly);
            }
        }
    }
}

void TarnwickTest::makeSampleSdks(const QStringList &versions, QString directory)
{
    if (directory.isEmpty())
        directory = sdks;
    for (const QString &version : versions)
        makeSampleSdk(directory.toStdString(), version.toStdString());
}

void TarnwickTest::acceptDisclaimer(bool accepted)
{
    const QString marker = DisclaimerGate::eulaAcceptedFilePath();
    if (accepted) {
        QDir().mkpath(QFileInfo(marker).path());
        QFile(marker).open(QIODevice::WriteOnly);
    } else {
        QFile::remove(marker);
        QDir().rmdir(marker);
    }
}

void TarnwickTest::launch(const QStringList &names, const QStringList &fixed)
{
    makeSdks(names, fixed);
    launchWith(runner);
}

void TarnwickTest::launchWith(ActionRunner &actionRunner)
{
    delegate.reset();
    window.reset();
    window = std::make_unique<Window>();
    const Desktop recorders{[this] { ++beeps; }, [this](const QUrl &url) { opened.append(url); },
                            [this] { ++terminations; },
                            [this](const OpenPanel &panel, OpenPanelCompletion completion) {
                                panels.append(panel);
                                pendingPanel = std::move(completion);
                            }};
    delegate = std::make_unique<AppDelegate>(window.get(), sdks, &actionRunner, recorders);
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
    return {view->button()->text(), view->button()->isHidden(), view->button()->isEnabled(), view->isDimmed()};
}

// Keys as the keyboard sends them, one event per key, to the widget with
// the focus; they also set what the application takes as the keyboard's
// state.
void TarnwickTest::sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = window->focusWidget() ? window->focusWidget() : window.get();
    // Not QTest::keyPress, which adds events of its own for the modifiers.
    QTest::simulateEvent(target, type == QEvent::KeyPress, key, modifiers, QString(), false);
}

void TarnwickTest::pressAlt(bool down)
{
    sendKey(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Alt, down ? Qt::AltModifier : Qt::NoModifier);
}

void TarnwickTest::altInAnotherWindow(bool down)
{
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::simulateEvent(&other, down, Qt::Key_Alt, down ? Qt::AltModifier : Qt::NoModifier, QString(), false);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents(); // the queued activation handler
}

void TarnwickTest::click(QPushButton *button)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->text().toStdString();
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr) << "a sheet is in the way";
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

// As widgets get it: the second press of a double-click is a double-click
// event, which a push button takes as a press.
void TarnwickTest::doubleClick(QPushButton *button, const std::function<bool()> &ready)
{
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(ready, 10000));
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

QString TarnwickTest::statusLine() const
{
    if (window->progressLabel->isVisible())
        return window->progressLabel->text();
    if (window->statusLabel->isVisible())
        return window->statusLabel->text();
    return QString();
}

void TarnwickTest::dismiss(QPointer<QMessageBox> sheet)
{
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->isVisible());
    QTest::mouseClick(sheet->button(QMessageBox::Ok), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet; }));
    giveTheKeyboardBack();
}

// What the desktop does when a sheet has gone; the offscreen platform
// leaves no window active instead.
void TarnwickTest::giveTheKeyboardBack()
{
    window->activateWindow();
    ASSERT_TRUE(becomesActive(window.get()));
}

// What the platform sends for the menu key: a keyboard context menu event
// at the middle of the focused control.
QMenu *TarnwickTest::openMenuOfFocus()
{
    QWidget *focused = QApplication::focusWidget();
    if (!focused)
        return nullptr;
    const QPoint middle = focused->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, middle, focused->mapToGlobal(middle));
    QApplication::sendEvent(focused, &event);
    return waitForMenu();
}

QMenu *TarnwickTest::waitForMenu()
{
    QMenu *menu = nullptr;
    return QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); })
        ? menu
        : nullptr;
}

void TarnwickTest::exportRow(const QString &sdk, const QString &to)
{
    pressAlt(true);
    click(rowButton(sdk));
    choose({to});
}

void TarnwickTest::exportAll(const QString &to)
{
    click(window->exportAllButton);
    choose({to});
}

void TarnwickTest::import(const QStringList &paths)
{
    click(window->importButton);
    choose(paths);
}

void TarnwickTest::choose(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    ASSERT_TRUE(pendingPanel);
    std::exchange(pendingPanel, nullptr)(1, urls);
    QCoreApplication::processEvents();
}

void TarnwickTest::cancelPanel()
{
    ASSERT_TRUE(pendingPanel);
    std::exchange(pendingPanel, nullptr)(0, {});
}


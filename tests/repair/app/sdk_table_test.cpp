#include "tarnwick_fixture.h"

#include "qt_printers.h"
#include "sdk_table_view.h"
#include "table_cell_view.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QColor black(Qt::black), gray(Qt::gray);

const QStringList allSdks{"MacOSX10.6.sdk", "MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk",
                          "MacOSX10.14.sdk", "MacOSX11.1.sdk"};

} // namespace

TEST_F(TarnwickTest, RowsFollowTheRowTable)
{
    makeSdks(allSdks, {"MacOSX10.9.sdk", "MacOSX10.14.sdk"});
    launch();
    ASSERT_EQ(window->sdkTable->numberOfRows(), 6);
    const struct {
        const char *sdk;
        const char *title;
        bool hidden;
        QColor color;
    } lines[] = {
        {"MacOSX10.7.sdk", "Fix", false, black},
        {"MacOSX10.9.sdk", "Restore", false, black},
        {"MacOSX10.13.sdk", "Fix", false, black},
        {"MacOSX10.6.sdk", nullptr, true, gray},
        {"MacOSX10.14.sdk", nullptr, true, gray},
        {"MacOSX11.1.sdk", nullptr, true, gray},
    };
    for (const auto &line : lines) {
        const RowState state = rowState(line.sdk);
        if (line.title) {
            EXPECT_EQ(state.title, line.title) << line.sdk;
        }
        EXPECT_EQ(state.hidden, line.hidden) << line.sdk;
        EXPECT_TRUE(state.enabled) << line.sdk;
        EXPECT_EQ(state.color, line.color) << line.sdk;
    }

    // Alt held: every row exports, in black, whatever its minor number.
    pressAlt(true);
    for (const QString &sdk : allSdks) {
        const RowState state = rowState(sdk);
        EXPECT_EQ(state.title, "Export") << sdk.toStdString();
        EXPECT_FALSE(state.hidden);
        EXPECT_TRUE(state.enabled);
        EXPECT_EQ(state.color, black);
    }
    pressAlt(false);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore");
    EXPECT_TRUE(rowState("MacOSX10.14.sdk").hidden);

    // An export or import running: every button off, titles kept, text black.
    QDir().mkpath(root.filePath("out"));
    click(delegate->exportAllBtn);
    choose({root.filePath("out")});
    ASSERT_TRUE(delegate->importExportInProgress);
    pressAlt(true);
    for (const QString &sdk : allSdks) {
        const RowState state = rowState(sdk);
        EXPECT_FALSE(state.enabled) << sdk.toStdString();
        EXPECT_EQ(state.color, black) << sdk.toStdString();
    }
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore") << "title left as it was";
    EXPECT_TRUE(rowState("MacOSX10.14.sdk").hidden) << "hidden left as it was";
}

// Alt+Tab: the window sees Alt go down but not up, since by then another
// window has the keyboard; back in the window, Alt must not count as held.
TEST_F(TarnwickTest, AltLetGoInAnotherWindowIsNoLongerHeld)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk"});
    launch();
    pressAlt(true);
    ASSERT_EQ(rowState("MacOSX10.8.sdk").title, "Export");
    switchAway();
    QTest::simulateEvent(otherWindow.get(), false, Qt::Key_Alt, Qt::NoModifier, QString(), false);
    switchBack();
    EXPECT_FALSE(window->altKeyDown());
    EXPECT_EQ(rowState("MacOSX10.8.sdk").title, "Fix");
    click(rowButton("MacOSX10.8.sdk"));
    EXPECT_TRUE(panels.isEmpty()) << "a click fixes, it does not export";
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0][0], "Move");

    // Held down elsewhere and still held on the way back.
    switchAway();
    QTest::simulateEvent(otherWindow.get(), true, Qt::Key_Alt, Qt::AltModifier, QString(), false);
    switchBack();
    EXPECT_EQ(rowState("MacOSX10.8.sdk").title, "Export");
    pressAlt(false);
}

TEST_F(TarnwickTest, WithoutThe10_6SdkRepairButtonsShowButAreDisabled)
{
    makeSdks({"MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk"}, {"MacOSX10.9.sdk"});
    launch();
    EXPECT_EQ(rowState("MacOSX10.7.sdk").title, "Fix");
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore");
    for (const char *sdk : {"MacOSX10.7.sdk", "MacOSX10.9.sdk"}) {
        EXPECT_FALSE(rowState(sdk).hidden);
        EXPECT_FALSE(rowState(sdk).enabled);
    }
    pressAlt(true);
    EXPECT_TRUE(rowState("MacOSX10.7.sdk").enabled) << "export needs no 10.6 SDK";
}

TEST_F(TarnwickTest, MainButtonsFollowTheMainButtonTable)
{
    const struct {
        QStringList sdks, fixed;
        bool inProgress;
        bool fixAll, restoreAll, exportAll, import;
    } cases[] = {
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk"}, {}, true, false, false, false, false},
        {{"MacOSX10.8.sdk"}, {}, false, false, false, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {"MacOSX10.8.sdk", "MacOSX10.9.sdk"}, false, false, true, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.14.sdk"}, {}, false, false, true, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {}, false, true, false, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {"MacOSX10.9.sdk"}, false, true, true, true, true},
    };
    QDir().mkpath(root.filePath("out"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sdks.join(' ').toStdString() + " fixed: " + c.fixed.join(' ').toStdString());
        QDir(sdks).removeRecursively();
        QDir().mkpath(sdks);
        makeSdks(c.sdks, c.fixed);
        launch();
        if (c.inProgress) {
            click(delegate->exportAllBtn);
            choose({root.filePath("out")});
        }
        // The buttons are set again at every end of a tool; Alt plays no part.
        for (bool alt : {false, true}) {
            pressAlt(alt);
            if (!c.inProgress)
                runner.finish(0);
            EXPECT_EQ(delegate->fixAllBtn->isEnabled(), c.fixAll);
            EXPECT_EQ(delegate->restoreAllBtn->isEnabled(), c.restoreAll);
            EXPECT_EQ(delegate->exportAllBtn->isEnabled(), c.exportAll);
            EXPECT_EQ(delegate->importBtn->isEnabled(), c.import);
        }
        pressAlt(false);
    }
}

TEST_F(TarnwickTest, OnlyAChangeOfTheAltKeyReloadsTheTable)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    launch();
    const int reloads = window->sdkTable->reloadCount();
    sendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    sendKey(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads);
    pressAlt(true);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads + 1);
    EXPECT_TRUE(window->altKeyDown());
    sendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::AltModifier | Qt::ShiftModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::AltModifier);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads + 1) << "Shift with Alt still down";
    pressAlt(false);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads + 2);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix");
}

TEST_F(TarnwickTest, RowsReachAssistiveTechnology)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {"MacOSX10.9.sdk"});
    launch();

    // Find the row that reads the SDK's name, then its button by role and name.
    const std::function<QAccessibleInterface *(QAccessibleInterface *, QAccessible::Role, const QString &)> find =
        [&](QAccessibleInterface *node, QAccessible::Role role, const QString &name) -> QAccessibleInterface * {
        if (node->role() == role && node->text(QAccessible::Name) == name)
            return node;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface *found = find(node->child(i), role, name))
                return found;
        return nullptr;
    };
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window.get());
    QAccessibleInterface *label = find(top, QAccessible::StaticText, "MacOSX10.8.sdk");
    ASSERT_NE(label, nullptr);
    QAccessibleInterface *row = label->parent();
    QAccessibleInterface *button = find(row, QAccessible::Button, "Fix");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->state().disabled);
    ASSERT_NE(button->actionInterface(), nullptr);
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.calls.size() == 1; }));
    EXPECT_EQ(runner.calls[0][0], "Move") << "the fix of MacOSX10.8.sdk";
    EXPECT_TRUE(runner.calls[0][1].contains("MacOSX10.8.sdk"));

    EXPECT_NE(find(top, QAccessible::Button, "Restore"), nullptr);
    EXPECT_NE(find(top, QAccessible::Button, "Fix All"), nullptr);
}

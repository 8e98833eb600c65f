#include "tarnwick_fixture.h"

#include "fix_plan.h"
#include "restore_plan.h"

// A listed folder without an SDK's name (minor number 9 here) would have
// the whole list refused, every other SDK with it.
TEST_F(TarnwickTest, FixAllTakesEveryUnfixedSdkOfTheRangeInOneList)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.11.sdk", "MacOSX10.13.sdk", "MacOSX10.14.sdk",
            "Backup1.9.zip"},
           {"MacOSX10.11.sdk"});
    pressAlt(true);
    click(window->fixAllButton);
    const FrameworkLayout layout(sdks);
    QStringList expected;
    for (const char *sdk : {"MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk"})
        addFixActions(expected, sdk, layout);
    EXPECT_EQ(runner.calls, QList<QStringList>{expected});
    EXPECT_FALSE(window->altKeyDown());
    runner.finish();
    EXPECT_EQ(statusLine(), "3 SDKs fixed.");
}

TEST_F(TarnwickTest, RestoreAllSkipsSdksOutsideTheRange)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.12.sdk", "MacOSX10.14.sdk", "MacOSX11.1.sdk", "Backup1.9.zip"},
           {"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.12.sdk", "MacOSX10.14.sdk", "MacOSX11.1.sdk", "Backup1.9.zip"});
    click(window->restoreAllButton);
    const FrameworkLayout layout(sdks);
    QStringList expected;
    addRestoreActions(expected, "MacOSX10.8.sdk", layout);
    addRestoreActions(expected, "MacOSX10.12.sdk", layout);
    EXPECT_EQ(runner.calls, QList<QStringList>{expected});
    runner.finish();
    EXPECT_EQ(statusLine(), "2 SDKs restored.");
}

TEST_F(TarnwickTest, NothingToDoCallsNothing)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.14.sdk"});
    ASSERT_TRUE(window->restoreAllButton->isEnabled()) << "no SDK to fix: all of none are fixed";
    pressAlt(true);
    click(window->restoreAllButton);
    EXPECT_FALSE(window->altKeyDown()) << "cleared even with nothing to do";
    EXPECT_TRUE(runner.calls.isEmpty());
    EXPECT_EQ(statusLine(), "") << "the hint, with nothing to tell";
}

// Others change the SDK directory too: the table follows within a second,
// and a press that comes before it has (in the same turn of the event
// loop as the change) only brings the table up to date.
TEST_F(TarnwickTest, TheTableFollowsTheDiskAndAStalePressDoesNothing)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk", "MacOSX10.12.sdk"}, {"MacOSX10.9.sdk"});
    const auto rows = [&] {
        QStringList names;
        for (int row = 0; row < window->sdkTable->numberOfRows(); ++row)
            names << window->sdkTable->viewAtRow(row)->textField()->text();
        return names;
    };
    const auto afterAWhile = [&] { QTest::qWait(QApplication::doubleClickInterval() + 50); };
    QDir(sdks + "/MacOSX10.9.sdk").removeRecursively();
    makeSdks({"MacOSX10.11.sdk"});
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return rows() == QStringList{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.11.sdk", "MacOSX10.12.sdk"};
    }, 1000)) << rows().join(' ').toStdString();
    EXPECT_EQ(rowState("MacOSX10.11.sdk").title, "Fix");

    // Gone: its Fix would fail on every action.
    afterAWhile();
    QDir(sdks + "/MacOSX10.8.sdk").removeRecursively();
    click(rowButton("MacOSX10.8.sdk"));
    EXPECT_EQ(rows(), (QStringList{"MacOSX10.6.sdk", "MacOSX10.11.sdk", "MacOSX10.12.sdk"}));

    // Fixed meanwhile: "Fix" must not become a second fix, nor "Restore" a
    // fix, from the row or from its menu.
    afterAWhile();
    const FrameworkLayout layout(sdks);
    makeSdks({}, {"MacOSX10.12.sdk"});
    click(rowButton("MacOSX10.12.sdk"));
    EXPECT_EQ(rowState("MacOSX10.12.sdk").title, "Restore");
    afterAWhile();
    rowView("MacOSX10.12.sdk")->setFocus();
    QMenu *menu = openMenuOfFocus();
    ASSERT_NE(menu, nullptr);
    QDir(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", "MacOSX10.12.sdk")).removeRecursively();
    QTest::keyClick(menu, Qt::Key_R);
    EXPECT_EQ(rowState("MacOSX10.12.sdk").title, "Fix");

    // The main buttons likewise, and the 10.6 SDK that every repair needs.
    makeSdks({}, {"MacOSX10.11.sdk"});
    click(window->fixAllButton);
    EXPECT_EQ(rowState("MacOSX10.11.sdk").title, "Restore");
    afterAWhile();
    QDir(sdks + "/MacOSX10.6.sdk").removeRecursively();
    click(rowButton("MacOSX10.12.sdk"));
    EXPECT_FALSE(rowState("MacOSX10.12.sdk").enabled);
    EXPECT_TRUE(runner.calls.isEmpty());
}

TEST_F(TarnwickTest, RowButtonsFixRestoreBeepOrExport)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.10.sdk", "MacOSX11.1.sdk"}, {"MacOSX10.10.sdk"});
    const FrameworkLayout layout(sdks);
    QStringList fix, restore;
    addFixActions(fix, "MacOSX10.8.sdk", layout);
    addRestoreActions(restore, "MacOSX10.10.sdk", layout);

    click(rowButton("MacOSX10.8.sdk"));
    click(rowButton("MacOSX10.10.sdk"));
    EXPECT_EQ(runner.calls, (QList<QStringList>{fix, restore}));

    // Their buttons are hidden, so only the rule itself can be tried.
    delegate->tableButtonAction(rowButton("MacOSX10.6.sdk"));
    delegate->tableButtonAction(rowButton("MacOSX11.1.sdk"));
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(runner.calls.size(), 2);

    pressAlt(true);
    click(rowButton("MacOSX10.6.sdk"));
    EXPECT_FALSE(window->altKeyDown()) << "the Alt state is spent on the export";
    EXPECT_EQ(runner.calls.size(), 2);
}

// The administrator dialog, up until the test answers, then dismissed:
// meanwhile the window says what it waits for, nothing can be pressed and
// no sheet promises a copy; afterwards nothing ran, every button is as it
// was, and the window says why nothing changed.
TEST_F(TarnwickTest, ADismissedDialogChangesNothing)
{
    makeSampleSdks({"10.6", "10.9"});
    QDir().mkpath(root.filePath("in/MacOSX10.7.sdk"));
    const auto trees = [&] {
        return QList<TreeSnapshot>{snapshotTree(sdks.toStdString()), snapshotTree(elsewhere.toStdString())};
    };
    const QList<TreeSnapshot> before = trees();
    ToolRunner dismissing(toolForTestsPath(), heldElevation("answer", "exit 126"));
    launchWith(dismissing);
    const auto buttons = [&] {
        QStringList states;
        for (const QPushButton *button : {window->fixAllButton, window->restoreAllButton, window->exportAllButton, window->importButton})
            states << button->text() + (button->isEnabled() ? " on" : " off");
        for (int row = 0; row < window->sdkTable->numberOfRows(); ++row) {
            const QPushButton *button = window->sdkTable->viewAtRow(row)->button();
            states << (button->isHidden() ? "hidden" : button->text() + (button->isEnabled() ? " on" : " off"));
        }
        return states;
    };
    const QStringList shown = buttons();

    const struct {
        const char *what;
        std::function<void()> press;
    } commands[] = {
        {"fix all", [&] { click(window->fixAllButton); }},
        {"a row's fix", [&] { click(rowButton("MacOSX10.9.sdk")); }},
        {"a row's export", [&] { exportRow("MacOSX10.9.sdk", elsewhere); }},
        {"import", [&] { import({root.filePath("in/MacOSX10.7.sdk")}); }},
    };
    for (const auto &c : commands) {
        SCOPED_TRACE(c.what);
        QFile::remove(root.filePath("answer"));
        c.press();
        EXPECT_EQ(statusLine(), "Waiting for administrator rights…");
        EXPECT_TRUE(busy());
        EXPECT_FALSE(rowState("MacOSX10.9.sdk").enabled);
        pressAlt(true);
        EXPECT_FALSE(rowState("MacOSX10.6.sdk").enabled) << "no export either";
        pressAlt(false);
        EXPECT_FALSE(delegate->alertSheet()) << "nothing was handed over";

        release("answer");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !statusLine().startsWith("Waiting"); }, 10000));
        EXPECT_EQ(statusLine(), "No SDK was changed: the administrator password was not given.");
        EXPECT_EQ(buttons(), shown);
        EXPECT_FALSE(delegate->importExportInProgress());
        EXPECT_FALSE(delegate->alertSheet());
        EXPECT_FALSE(delegate->failureSheet());
    }
    EXPECT_EQ(trees(), before);
}

TEST_F(TarnwickTest, ShowInFilesOpensTheSdkDirectory)
{
    launch();
    window->showInFilesButton->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(sdks));
}

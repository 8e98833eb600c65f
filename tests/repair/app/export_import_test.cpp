#include "tarnwick_fixture.h"

#include "qt_printers.h"
#include "sample_sdks.h"
#include "tool_process.h"
#include "tool_runner.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace {

const QString exporting = "This process could take a long time.\n\nYou can safely quit Tarnwick as export will continue in the background.";
const QString note = "\n\nNote: Any SDKs that already exist in the destination directory will not be overwritten.";

class ExportImportTest : public TarnwickTest
{
protected:
    QString elsewhere = root.filePath("elsewhere");

    void SetUp() override
    {
        TarnwickTest::SetUp();
        QDir().mkpath(elsewhere);
    }

    void mkdir(const QString &path) { ASSERT_TRUE(QDir().mkpath(path)); }
    void link(const QString &target, const QString &path)
    {
        std::filesystem::create_symlink(target.toStdString(), path.toStdString());
    }
};

} // namespace

TEST_F(ExportImportTest, ExportOneSdk)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    launch();
    pressAlt(true);
    rowButton("MacOSX10.9.sdk")->click();
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels[0].message, "Choose directory to export \"MacOSX10.9.sdk\"");
    EXPECT_EQ(panels[0].prompt, "Choose");
    EXPECT_FALSE(panels[0].canChooseFiles);
    EXPECT_TRUE(panels[0].canChooseDirectories);
    EXPECT_TRUE(panels[0].canCreateDirectories);
    EXPECT_FALSE(window->altKeyDown());

    choose({elsewhere});
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0], (QStringList{"Copy", sdks + "/MacOSX10.9.sdk", elsewhere + "/MacOSX10.9.sdk"}));
    EXPECT_TRUE(delegate->importExportInProgress);
    EXPECT_EQ(lastMessage(), "Exporting SDKs...");
    EXPECT_EQ(lastInformativeText(), exporting);
    for (QPushButton *button : {delegate->fixAllBtn, delegate->restoreAllBtn, delegate->exportAllBtn, delegate->importBtn})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(rowState("MacOSX10.9.sdk").enabled);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Export") << "titles stay while the tool works";

    runner.finish();
    EXPECT_FALSE(delegate->importExportInProgress);
    EXPECT_TRUE(delegate->importBtn->isEnabled());
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix") << "the Alt state was cleared";

    // The same export again finds the copy there.
    mkdir(elsewhere + "/MacOSX10.9.sdk");
    delegate->exportSDK("MacOSX10.9.sdk");
    choose({elsewhere});
    EXPECT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(lastMessage(), "SDK already exists.");
    EXPECT_EQ(lastInformativeText(),
              "An item named \"MacOSX10.9.sdk\" already exists in the chosen directory and cannot be overwritten.");
    EXPECT_EQ(panels.last().directoryURL, QUrl::fromLocalFile(elsewhere)) << "opens where it was last";
}

TEST_F(ExportImportTest, ExportedLinksAreFollowedOnce)
{
    mkdir(sdks + "/MacOSX.sdk");
    mkdir(root.filePath("far/Real.sdk"));
    link("MacOSX.sdk", sdks + "/MacOSX10.14.sdk");
    link("MacOSX.sdk", sdks + "/MacOSX10.15.sdk");
    link(root.filePath("far/Real.sdk"), sdks + "/MacOSX10.13.sdk");
    launch();
    delegate->exportAllAction();
    choose({elsewhere});
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0], (QStringList{"Copy", root.filePath("far/Real.sdk"), elsewhere + "/MacOSX10.13.sdk",
                                            "Copy", sdks + "/MacOSX.sdk", elsewhere + "/MacOSX10.14.sdk",
                                            "Copy", sdks + "/MacOSX.sdk", elsewhere + "/MacOSX10.15.sdk"}));
    EXPECT_EQ(lastMessage(), "Exporting SDKs...");
    EXPECT_EQ(lastInformativeText(), exporting + note);
}

TEST_F(ExportImportTest, ExportAllLeavesOutWhatIsThere)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk"});
    mkdir(elsewhere + "/MacOSX10.9.sdk");
    launch();
    delegate->exportAllAction();
    EXPECT_EQ(panels[0].message, "Choose destination directory to export all SDKs");
    choose({elsewhere});
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0], (QStringList{"Copy", sdks + "/MacOSX10.6.sdk", elsewhere + "/MacOSX10.6.sdk",
                                            "Copy", sdks + "/MacOSX10.13.sdk", elsewhere + "/MacOSX10.13.sdk"}));
    runner.finish();

    mkdir(elsewhere + "/MacOSX10.6.sdk");
    mkdir(elsewhere + "/MacOSX10.13.sdk");
    delegate->exportAllAction();
    choose({elsewhere});
    EXPECT_EQ(runner.calls.size(), 1) << "no request for rights";
    EXPECT_EQ(lastMessage(), "SDKs already exist.");
    EXPECT_EQ(lastInformativeText(), "SDKs already exist in the destination directory and cannot be overwritten.");
}

TEST_F(ExportImportTest, ExportAllOfAnEmptyTableSaysTheSdksExist)
{
    launch();
    delegate->exportAllAction();
    choose({elsewhere});
    EXPECT_TRUE(runner.calls.isEmpty());
    EXPECT_EQ(lastMessage(), "SDKs already exist.");
    EXPECT_EQ(delegate->lastImportExportDirURL, QUrl::fromLocalFile(elsewhere)) << "remembered all the same";
}

TEST_F(ExportImportTest, CancelClearsAltAndRefreshes)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    launch();
    pressAlt(true);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Export");
    rowButton("MacOSX10.9.sdk")->click();
    const int reloads = window->sdkTable->reloadCount();
    cancelPanel();
    EXPECT_GT(window->sdkTable->reloadCount(), reloads);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix") << "even with Alt still held";
    EXPECT_FALSE(delegate->lastImportExportDirURL.isValid());
    EXPECT_FALSE(delegate->alertSheet);

    delegate->lastImportExportDirURL = QUrl::fromLocalFile(root.filePath("deleted"));
    delegate->importAction();
    EXPECT_FALSE(panels.last().directoryURL.isValid()) << "a deleted folder is not offered";
    cancelPanel();
}

TEST_F(ExportImportTest, RefusedRightsLeaveNothingBehind)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    launch();
    runner.granted = false;
    delegate->exportAllAction();
    choose({elsewhere});
    EXPECT_EQ(runner.calls.size(), 1);
    EXPECT_FALSE(delegate->importExportInProgress);
    EXPECT_FALSE(delegate->alertSheet) << "the user cancelled it; nothing to say";
    EXPECT_TRUE(delegate->exportAllBtn->isEnabled());
    EXPECT_TRUE(delegate->importBtn->isEnabled());
    EXPECT_TRUE(rowState("MacOSX10.9.sdk").enabled);

    const QString source = root.filePath("in/MacOSX10.7.sdk");
    mkdir(source);
    delegate->importAction();
    choose({source});
    EXPECT_FALSE(delegate->importExportInProgress);
    EXPECT_FALSE(delegate->alertSheet);
}

TEST_F(ExportImportTest, ImportChoices)
{
    makeSdks({"MacOSX10.9.sdk"});
    const QString f = root.filePath("F");
    for (const char *name : {"A.sdk", "B.txt", "X.SDK", ".old.sdk", "MacOSX10.9.sdk", "sub/C.sdk"})
        mkdir(f + "/" + name);
    QFile(f + "/file.sdk").open(QIODevice::WriteOnly);
    const QString g = root.filePath("G");
    for (const char *name : {"MacOSX10.6.sdk", "MacOSX10.7.sdk", "plain"})
        mkdir(g + "/" + name);
    launch();

    const auto import = [&](const QStringList &chosen) {
        runner.calls.clear();
        delete delegate->alertSheet;
        delegate->importAction();
        choose(chosen);
        return runner.calls.isEmpty() ? QStringList() : runner.calls.first();
    };
    const auto copy = [&](const QString &from) {
        return QStringList{"Copy", from, sdks + "/" + QFileInfo(from).fileName()};
    };

    // A single SDK folder: copied under its name; the next dialog opens beside it.
    EXPECT_EQ(import({g + "/MacOSX10.6.sdk"}), copy(g + "/MacOSX10.6.sdk"));
    EXPECT_EQ(delegate->lastImportExportDirURL, QUrl::fromLocalFile(g));
    EXPECT_EQ(lastMessage(), "Importing SDKs...");
    EXPECT_EQ(lastInformativeText(),
              "This process could take a long time.\n\nYou can safely quit Tarnwick as import will continue in the background." + note);
    EXPECT_EQ(panels.last().message, "Choose SDK file or directory of SDKs to import");
    EXPECT_TRUE(panels.last().allowsMultipleSelection);
    EXPECT_EQ(panels.last().allowedFileTypes, QStringList{"sdk"});
    runner.finish();

    // A folder of SDKs: its SDK items, hidden ones too, not .SDK, not what exists.
    QStringList expected;
    for (const QString &name : QDir(f).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted))
        if (name.endsWith(".sdk") && name != "MacOSX10.9.sdk" && name != ".sdk")
            expected << copy(f + "/" + name);
    EXPECT_EQ(import({f}), expected);
    EXPECT_EQ(expected.size(), 9) << "A.sdk, .old.sdk, file.sdk";
    EXPECT_EQ(delegate->lastImportExportDirURL, QUrl::fromLocalFile(f));
    runner.finish();

    // Several SDKs at once, in the dialog's order.
    EXPECT_EQ(import({g + "/MacOSX10.7.sdk", f + "/A.sdk"}), copy(g + "/MacOSX10.7.sdk") + copy(f + "/A.sdk"));
    runner.finish();

    // A folder first: only what is inside it; the other items are ignored.
    QStringList inG;
    for (const QString &name : QDir(g).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Unsorted))
        if (name.endsWith(".sdk"))
            inG << copy(g + "/" + name);
    EXPECT_EQ(import({g, f + "/A.sdk"}), inG);
    EXPECT_EQ(inG.size(), 6);
    runner.finish();

    // An SDK first, a plain folder second: the folder is not looked into.
    EXPECT_EQ(import({f + "/A.sdk", g}), copy(f + "/A.sdk"));
    runner.finish();

    // Every SDK item already there.
    EXPECT_TRUE(import({f + "/MacOSX10.9.sdk"}).isEmpty());
    EXPECT_EQ(lastMessage(), "SDKs already exist.");
    EXPECT_EQ(lastInformativeText(), "SDKs already exist in Xcode and cannot be overwritten.");

    // No SDK item at all.
    EXPECT_TRUE(import({f + "/X.SDK"}).isEmpty());
    EXPECT_EQ(lastMessage(), "SDKs not found.");
    EXPECT_EQ(lastInformativeText(), "There were no SDKs in the chosen directory.");
    EXPECT_TRUE(import({g + "/plain"}).isEmpty());
    EXPECT_EQ(lastMessage(), "SDKs not found.");
}

TEST_F(ExportImportTest, ExportAndImportThroughTheRealTool)
{
    makeSampleSdk(sdks.toStdString(), "10.6");
    makeSampleSdk(sdks.toStdString(), "10.13");
    link("MacOSX10.13.sdk", sdks + "/MacOSX10.12.sdk");
    const QString incoming = root.filePath("incoming");
    makeSampleSdk(incoming.toStdString(), "10.11");
    qputenv("TARNWICK_TEST_SDK_DIRECTORY", sdks.toUtf8());
    ToolRunner tool(toolForTestsPath(), {});
    window = std::make_unique<Window>();
    delegate = std::make_unique<AppDelegate>(window.get(), sdks, &tool);
    delegate->beginOpenPanel = [this](const OpenPanel &panel, OpenPanelCompletion completion) {
        panels.append(panel);
        pendingPanel = std::move(completion);
    };
    window->show();
    delegate->applicationDidFinishLaunching();

    delegate->exportSDK("MacOSX10.12.sdk");
    choose({elsewhere});
    EXPECT_FALSE(delegate->importBtn->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->importBtn->isEnabled(); }, 10000));
    EXPECT_EQ(snapshotTree((elsewhere + "/MacOSX10.12.sdk").toStdString(), true),
              snapshotTree((sdks + "/MacOSX10.13.sdk").toStdString(), true))
        << "the linked SDK's folder, complete, under the row's name";

    delegate->importAction();
    choose({incoming + "/MacOSX10.11.sdk"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->importBtn->isEnabled(); }, 10000));
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.11.sdk").toStdString(), true),
              snapshotTree((incoming + "/MacOSX10.11.sdk").toStdString(), true));
    EXPECT_EQ(rowState("MacOSX10.11.sdk").title, "Fix") << "the imported SDK has its row";
}

#include "tarnwick_fixture.h"

namespace {

const QString exporting = "This process could take a long time.\n\nYou can safely quit Tarnwick as export will continue in the background.";
const QString note = "\n\nNote: Any SDKs that already exist in the destination directory will not be overwritten.";

} // namespace

using ExportImportTest = TarnwickTest;

TEST_F(ExportImportTest, ExportOneSdk)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    pressAlt(true);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Export");
    click(rowButton("MacOSX10.9.sdk"));
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels[0].message, "Choose directory to export \"MacOSX10.9.sdk\"");
    EXPECT_EQ(panels[0].prompt, "Choose");
    EXPECT_FALSE(panels[0].canChooseFiles);
    EXPECT_TRUE(panels[0].canChooseDirectories);
    EXPECT_TRUE(panels[0].canCreateDirectories);
    EXPECT_FALSE(window->altKeyDown());

    // Cancelled: the Alt state cleared, nothing remembered, nothing said.
    const int reloads = window->sdkTable->reloadCount();
    cancelPanel();
    EXPECT_GT(window->sdkTable->reloadCount(), reloads);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix") << "even with Alt still held";
    EXPECT_FALSE(delegate->preferences().lastImportExportDirURL().isValid());
    EXPECT_FALSE(delegate->alertSheet());

    exportRow("MacOSX10.9.sdk", elsewhere);
    EXPECT_EQ(runner.calls, (QList<QStringList>{{"Copy", sdks + "/MacOSX10.9.sdk", elsewhere + "/MacOSX10.9.sdk"}}));
    EXPECT_TRUE(delegate->importExportInProgress());
    EXPECT_EQ(lastMessage(), "Exporting SDKs...");
    EXPECT_EQ(lastInformativeText(), exporting);
    EXPECT_TRUE(busy());
    EXPECT_FALSE(window->restoreAllButton->isEnabled());
    EXPECT_FALSE(rowState("MacOSX10.9.sdk").enabled);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Export") << "titles stay while the tool works";
    dismiss(delegate->alertSheet());

    runner.finish();
    EXPECT_FALSE(delegate->importExportInProgress());
    EXPECT_TRUE(window->importButton->isEnabled());
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix") << "the Alt state was cleared";
    EXPECT_FALSE(delegate->failureSheet()) << "all done: nothing more to say";

    // The same export again finds the copy there.
    QDir().mkpath(elsewhere + "/MacOSX10.9.sdk");
    pressAlt(true);
    click(rowButton("MacOSX10.9.sdk"));
    EXPECT_EQ(panels.last().directoryURL, QUrl::fromLocalFile(elsewhere)) << "opens where it was last";
    choose({elsewhere});
    EXPECT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(lastMessage(), "SDK already exists.");
    EXPECT_EQ(lastInformativeText(),
              "An item named \"MacOSX10.9.sdk\" already exists in the chosen directory and cannot be overwritten.");
    dismiss(delegate->alertSheet());

    delegate->preferences().setLastImportExportDirURL(QUrl::fromLocalFile(root.filePath("deleted")));
    click(window->importButton);
    EXPECT_FALSE(panels.last().directoryURL.isValid()) << "a deleted folder is not offered";
}

// Into a folder of the home folder, which the outcome calls "~".
TEST_F(ExportImportTest, ExportAllLeavesOutWhatIsThere)
{
    const QString x = QDir::homePath() + "/x";
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk"});
    link("MacOSX10.13.sdk/", sdks + "/MacOSX10.14.sdk");
    QDir().mkpath(x + "/MacOSX10.9.sdk");
    launch();
    exportAll(x + "/");
    EXPECT_EQ(panels[0].message, "Choose destination directory to export all SDKs");
    EXPECT_EQ(runner.calls, (QList<QStringList>{{"Copy", sdks + "/MacOSX10.6.sdk", x + "/MacOSX10.6.sdk",
                                                 "Copy", sdks + "/MacOSX10.13.sdk", x + "/MacOSX10.13.sdk",
                                                 "Copy", sdks + "/MacOSX10.13.sdk", x + "/MacOSX10.14.sdk"}}));
    EXPECT_EQ(lastMessage(), "Exporting SDKs...");
    EXPECT_EQ(lastInformativeText(), exporting + note);
    dismiss(delegate->alertSheet());
    runner.finish();
    EXPECT_EQ(statusLine(), "Exported 3 SDKs to ~/x; MacOSX10.9.sdk was already there.");
    QDir(x).removeRecursively();

    for (const char *name : {"MacOSX10.6.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk", "MacOSX10.14.sdk"})
        QDir().mkpath(elsewhere + '/' + name);
    exportAll(elsewhere);
    EXPECT_EQ(runner.calls.size(), 1) << "no request for rights";
    EXPECT_EQ(lastMessage(), "SDKs already exist.");
    EXPECT_EQ(lastInformativeText(), "SDKs already exist in the destination directory and cannot be overwritten.");

    EXPECT_EQ(delegate->preferences().lastImportExportDirURL(), QUrl::fromLocalFile(elsewhere)) << "remembered all the same";
}

// The rules of the choice are the import plan's; here, what the window
// makes of each outcome.
TEST_F(ExportImportTest, ImportOutcomes)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    const QString g = root.filePath("G");
    for (const char *name : {"MacOSX10.7.sdk", "X.SDK"})
        QDir().mkpath(g + '/' + name);
    link(g + "/MacOSX10.7.sdk/", root.filePath("MacOSX10.8.sdk"));
    launch();

    import({root.filePath("MacOSX10.8.sdk"), g + "/MacOSX10.7.sdk"});
    EXPECT_EQ(runner.calls, (QList<QStringList>{{"Copy", g + "/MacOSX10.7.sdk", sdks + "/MacOSX10.8.sdk",
                                                 "Copy", g + "/MacOSX10.7.sdk", sdks + "/MacOSX10.7.sdk"}}))
        << "a link brings in the folder it names, under its own name";
    EXPECT_EQ(delegate->preferences().lastImportExportDirURL(), QUrl::fromLocalFile(root.path()));
    EXPECT_EQ(panels.last().message, "Choose SDK file or directory of SDKs to import");
    EXPECT_TRUE(panels.last().allowsMultipleSelection);
    EXPECT_EQ(panels.last().allowedFileTypes, QStringList{"sdk"});
    EXPECT_TRUE(delegate->importExportInProgress());
    EXPECT_EQ(lastMessage(), "Importing SDKs...");
    EXPECT_EQ(lastInformativeText(),
              "This process could take a long time.\n\nYou can safely quit Tarnwick as import will continue in the background." + note);
    dismiss(delegate->alertSheet());
    runner.finish();
    EXPECT_EQ(statusLine(), "Imported 2 SDKs from " + root.path() + ".");

    import({sdks + "/MacOSX10.9.sdk"});
    EXPECT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(lastMessage(), "SDKs already exist.");
    EXPECT_EQ(lastInformativeText(), "SDKs already exist in Xcode and cannot be overwritten.");
    dismiss(delegate->alertSheet());

    import({g + "/X.SDK"});
    EXPECT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(lastMessage(), "SDKs not found.");
    EXPECT_EQ(lastInformativeText(), "There were no SDKs in the chosen directory.");
    EXPECT_EQ(delegate->preferences().lastImportExportDirURL(), QUrl::fromLocalFile(g + "/X.SDK"));
}

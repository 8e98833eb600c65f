// Export and import as action lists, on temporary trees: which SDKs are
// copied, from where and to where, and what the window is told.

#include "export_plan.h"
#include "import_plan.h"
#include "qt_printers.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CopyPlanTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.filePath("SDKs");
    QString elsewhere = root.filePath("elsewhere");

    void SetUp() override
    {
        mkdir(sdks);
        mkdir(elsewhere);
    }

    void mkdir(const QString &path) { ASSERT_TRUE(QDir().mkpath(path)); }
    void link(const QString &target, const QString &path)
    {
        std::filesystem::create_symlink(target.toStdString(), path.toStdString());
    }
    static QList<SdkRow> rows(const QStringList &names)
    {
        QList<SdkRow> result;
        for (const QString &name : names)
            result.append(SdkRow{{"sdk", name}});
        return result;
    }
    static QStringList copy(const QString &from, const QString &to) { return {"Copy", from, to}; }
};

} // namespace

// Links written by hand or by tab completion: whatever their spelling, the
// source is the clean path of the folder they lead to, under the SDK
// directory's own spelling.
TEST_F(CopyPlanTest, ExportSourcesAreTheCleanPathsOfWhatSdkNamesLeadTo)
{
    const QString real = root.filePath("deep/real-sdks");
    mkdir(real + "/MacOSX.sdk");
    mkdir(real + "/MacOSX10.9.sdk");
    mkdir(root.filePath("deep/beside.sdk"));
    mkdir(root.filePath("far/Real.sdk"));
    std::filesystem::remove(sdks.toStdString());
    link(real, sdks); // the SDK directory itself is a link
    const struct {
        const char *sdk;
        QString target; // empty: a folder of its own
        QString source;
    } cases[] = {
        {"MacOSX10.9.sdk", {}, sdks + "/MacOSX10.9.sdk"},
        {"MacOSX10.14.sdk", "MacOSX.sdk/", sdks + "/MacOSX.sdk"},
        {"MacOSX10.15.sdk", "./MacOSX.sdk//", sdks + "/MacOSX.sdk"},
        {"MacOSX10.16.sdk", "../real-sdks/./MacOSX.sdk", sdks + "/MacOSX.sdk"},
        {"MacOSX10.12.sdk", "MacOSX10.14.sdk", sdks + "/MacOSX.sdk"}, // a chain
        {"MacOSX10.13.sdk", root.filePath("far/../far/Real.sdk/"), root.filePath("far/Real.sdk")},
        // ".." from the folder the link is really in, not from its spelling.
        {"MacOSX10.10.sdk", "../beside.sdk", root.filePath("deep/beside.sdk")},
        {"MacOSX10.11.sdk", "gone.sdk/", sdks + "/gone.sdk"}, // leads nowhere
    };
    QStringList names, expected;
    for (const auto &c : cases) {
        if (!c.target.isEmpty())
            link(c.target, sdks + '/' + c.sdk);
        names << c.sdk;
        expected << copy(c.source, elsewhere + '/' + c.sdk);
    }
    const CopyPlan plan = exportPlan(sdks, elsewhere + '/', rows(names));
    EXPECT_EQ(plan.outcome, CopyPlan::Run);
    EXPECT_EQ(plan.actions, expected);
}

TEST_F(CopyPlanTest, ImportChoices)
{
    mkdir(sdks + "/MacOSX10.9.sdk");
    const QString f = root.filePath("F");
    for (const char *name : {"A.sdk", "B.txt", "X.SDK", ".old.sdk", "MacOSX10.9.sdk", "sub/C.sdk"})
        mkdir(f + '/' + name);
    writeFile((f + "/file.sdk").toStdString(), "");
    const QString g = root.filePath("G");
    for (const char *name : {"MacOSX10.6.sdk", "MacOSX10.7.sdk", "plain"})
        mkdir(g + '/' + name);
    const auto into = [&](const QString &from) { return copy(from, sdks + '/' + QFileInfo(from).fileName()); };
    const auto sdkEntries = [&](const QString &folder) {
        QStringList actions;
        for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted))
            if (name.endsWith(".sdk") && name != "MacOSX10.9.sdk")
                actions << into(folder + '/' + name);
        return actions;
    };

    const struct {
        const char *what;
        QStringList chosen;
        QStringList actions;
        CopyPlan::Outcome outcome;
        QString remembered;
        QStringList alreadyThere = {};
    } cases[] = {
        {"one SDK", {g + "/MacOSX10.6.sdk"}, into(g + "/MacOSX10.6.sdk"), CopyPlan::Run, g},
        {"a folder of SDKs: hidden ones too, not .SDK, not what exists", {f}, sdkEntries(f), CopyPlan::Run, f, {"MacOSX10.9.sdk"}},
        {"several SDKs", {g + "/MacOSX10.7.sdk", f + "/A.sdk"}, into(g + "/MacOSX10.7.sdk") + into(f + "/A.sdk"), CopyPlan::Run, g},
        {"a folder first: only its entries", {g, f + "/A.sdk"}, sdkEntries(g), CopyPlan::Run, g},
        {"an SDK first: a plain folder is not looked into", {f + "/A.sdk", g}, into(f + "/A.sdk"), CopyPlan::Run, f},
        {"every SDK there already", {f + "/MacOSX10.9.sdk"}, {}, CopyPlan::AlreadyThere, f, {"MacOSX10.9.sdk"}},
        {"no SDK item", {f + "/X.SDK"}, {}, CopyPlan::NothingFound, f + "/X.SDK"},
        {"a folder without SDKs", {g + "/plain"}, {}, CopyPlan::NothingFound, g + "/plain"},
    };
    EXPECT_EQ(sdkEntries(f).size(), 9) << "A.sdk, .old.sdk, file.sdk";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const ImportPlan plan = importPlan(sdks, c.chosen);
        EXPECT_EQ(plan.copies.actions, c.actions);
        EXPECT_EQ(plan.copies.outcome, c.outcome);
        EXPECT_EQ(plan.folderToRemember, c.remembered);
        EXPECT_EQ(plan.copies.alreadyThere, c.alreadyThere);
    }
}

// A chosen SDK that is a link brings in the folder it leads to, under the
// link's own name, and a folder of SDKs may hold such links too.
TEST_F(CopyPlanTest, ImportedLinksContributeTheFolderTheyName)
{
    const QString store = root.filePath("store"), in = root.filePath("in");
    mkdir(store + "/Real.sdk");
    mkdir(in);
    link("../store/Real.sdk/", in + "/MacOSX10.6.sdk");
    link(store + "/missing.sdk", in + "/MacOSX10.8.sdk");
    EXPECT_EQ(importPlan(sdks, {in + "/MacOSX10.6.sdk"}).copies.actions,
              copy(store + "/Real.sdk", sdks + "/MacOSX10.6.sdk"));
    const QStringList actions = importPlan(sdks, {in}).copies.actions; // in the file system's order
    EXPECT_EQ(actions.size(), 6);
    EXPECT_TRUE(actions.contains(store + "/Real.sdk"));
    EXPECT_TRUE(actions.contains(store + "/missing.sdk")) << "it fails in the tool, by name";
}


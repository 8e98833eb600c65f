// The check of a fix or restore against the disk, before the tool runs.

#include "fix_plan.h"
#include "preflight.h"
#include "qt_printers.h"
#include "restore_plan.h"
#include "sample_sdks.h"
#include "tree_snapshot.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(PreflightTest, NamesTheFirstItemAPlanCannotUse)
{
    QTemporaryDir root;
    const QString sdks = root.path();
    const FrameworkLayout layout(sdks);
    const QString headers6 = layout.qdFrameworkPathToHeaderDirectory("Headers", "MacOSX10.6.sdk");
    const QString taken = layout.printCoreFrameworkPathToHeader("PrintCore_orig.h", "MacOSX10.12.sdk");
    const QString printCore6 = layout.printCoreFrameworkPathToFile("PrintCore", "MacOSX10.6.sdk");
    const QString quickTime6 = layout.quickTimeFrameworkPath("MacOSX10.6.sdk");
    const QString print12 = layout.printFrameworkPathToHeader("Print.h", "MacOSX10.12.sdk");
    const struct {
        const char *name;
        std::function<void()> spoil;
        std::optional<PreflightProblem> problem;
    } cases[] = {
        {"intact", [] {}, std::nullopt},
        {"unreadable folder", [&] { chmod(QFile::encodeName(headers6), 0); }, PreflightProblem{PreflightProblem::Unreadable, headers6}},
        {"unreadable file", [&] { chmod(QFile::encodeName(printCore6), 0200); }, PreflightProblem{PreflightProblem::Unreadable, printCore6}},
        {"missing folder", [&] { fs::remove_all(headers6.toStdString()); }, PreflightProblem{PreflightProblem::Missing, headers6}},
        {"missing item to set aside", [&] { fs::remove(print12.toStdString()); }, PreflightProblem{PreflightProblem::Missing, print12}},
        {"file for a folder", [&] {
             fs::remove_all(quickTime6.toStdString());
             QFile(quickTime6).open(QIODevice::WriteOnly);
         }, PreflightProblem{PreflightProblem::NotAFolder, quickTime6}},
        {"folder for a file", [&] {
             fs::remove(printCore6.toStdString());
             fs::create_directory(printCore6.toStdString());
         }, PreflightProblem{PreflightProblem::NotAFile, printCore6}},
        {"destination taken", [&] { writeFile(taken.toStdString(), "taken"); }, PreflightProblem{PreflightProblem::InTheWay, taken}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(sdks.toStdString());
        fs::create_directories(sdks.toStdString());
        makeSampleSdk(sdks.toStdString(), "10.6");
        makeSampleSdk(sdks.toStdString(), "10.12");
        c.spoil();
        QStringList fix;
        addFixActions(fix, "MacOSX10.12.sdk", layout);
        EXPECT_EQ(preflightProblem(fix), c.problem);
        chmod(QFile::encodeName(headers6), 0755);
    }
}

// A restore's steps free the names the next ones write: the check follows
// them, as the tool will.
TEST(PreflightTest, FollowsTheStepsOfARestore)
{
    QTemporaryDir root;
    const FrameworkLayout layout(root.path());
    makeSampleSdk(root.path().toStdString(), "10.9");
    const QString headers = layout.qdFrameworkPathToHeaderDirectory("Headers", "MacOSX10.9.sdk");
    fs::create_directory((headers + "_orig").toStdString());
    QStringList restore;
    addRestoreActions(restore, "MacOSX10.9.sdk", layout);
    EXPECT_EQ(preflightProblem(restore), std::nullopt);

    QStringList twice = restore;
    twice << "Move" << headers + "_orig" << headers;
    EXPECT_EQ(preflightProblem(twice), (PreflightProblem{PreflightProblem::Missing, headers + "_orig"}));
}

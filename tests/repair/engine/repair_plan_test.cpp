// The fix and restore plans against the action lists in plans/, written out
// by hand: one action a line, the verb and both operands, "" for an empty
// one, "$SDKS" for the SDK directory.

#include "fix_plan.h"
#include "qt_printers.h"
#include "restore_plan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// What stands in the SDK when its plan is built.
enum Given : unsigned {
    unfixed = 0,
    setAside = 1,             // every set-aside item, also those a fix of this minor never makes
    ownAdded = 2,             // the SDK's own copies of the headers a fix adds
    ownAddedSetAside = 4,     // those copies, set aside by a fix
    withoutPrintOrig = 8,     // the Print binary of a 10.10 fix is not set aside
    withoutOrigQuickTime = 16,
};

struct PlanCase {
    bool fix;
    qint64 minor;
    unsigned given;
    const char *golden; // none: the plan appends nothing
};

constexpr bool fix = true, restore = false;

// clang-format off
const PlanCase cases[] = {
    {fix, 6, unfixed, "fix_10.6"},   {fix, 7, unfixed, "fix_10.7"},   {fix, 8, unfixed, "fix_10.8"},
    {fix, 9, unfixed, "fix_10.9"},   {fix, 10, unfixed, "fix_10.10"}, {fix, 11, unfixed, "fix_10.11"},
    {fix, 12, unfixed, "fix_10.12"}, {fix, 13, unfixed, "fix_10.13"}, {fix, 14, unfixed, "fix_10.14"},
    {fix, 8, ownAdded, "fix_10.8"}, // the added headers begin with 10.9
    {fix, 9, ownAdded, "fix_10.9_own_headers"},
    {fix, 11, ownAdded, "fix_10.11_own_headers"},
    {fix, 7, setAside, nullptr},     {fix, 10, setAside, nullptr},    {fix, 13, setAside, nullptr},
    {restore, 6, setAside, "restore_10.6"},   {restore, 7, setAside, "restore_10.7"},
    {restore, 8, setAside, "restore_10.8"},   {restore, 9, setAside, "restore_10.9"},
    {restore, 10, setAside, "restore_10.10"}, {restore, 11, setAside, "restore_10.11"},
    {restore, 12, setAside, "restore_10.12"}, {restore, 13, setAside, "restore_10.13"},
    {restore, 14, setAside, "restore_10.14"},
    {restore, 10, setAside | withoutPrintOrig, "restore_10.10_print_binary_kept"},
    {restore, 12, setAside | withoutOrigQuickTime, "restore_10.12_without_quicktime"},
    {restore, 11, unfixed, "restore_10.11_never_fixed"},
    {restore, 9, setAside | ownAddedSetAside, "restore_10.9_own_headers"},
    {restore, 11, setAside | ownAddedSetAside, "restore_10.11_own_headers"},
};
// clang-format on

class RepairPlanTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.path();
    FrameworkLayout layout{sdks};

    static QString sdkOf(qint64 minor) { return QStringLiteral("MacOSX10.%1.sdk").arg(minor); }

    void make(const QString &path) { ASSERT_TRUE(QDir().mkpath(path)); }

    // Each list of headers holds one link that leads nowhere: it still counts.
    void makeHeaders(const QStringList &headers)
    {
        for (const QString &header : headers)
            make(header == headers[2] ? QFileInfo(header).path() : header);
        std::filesystem::create_symlink("nowhere.h", headers[2].toStdString());
    }

    void makeGiven(qint64 minor, unsigned given)
    {
        const QString sdk = sdkOf(minor);
        if (given & setAside) {
            make(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdk));
            make(layout.printCoreFrameworkPathToHeader("PrintCore_orig.h", sdk));
            make(layout.printFrameworkPathToHeader("Print_orig.h", sdk));
            make(layout.printCoreFrameworkPathToFile("PrintCore_orig", sdk));
            if (!(given & withoutPrintOrig))
                make(layout.printFrameworkPathToFile("Print_orig", sdk));
            if (!(given & withoutOrigQuickTime))
                make(layout.origQuickTimeFrameworkPath(sdk));
        }
        const QString suffix = given & ownAdded ? ".h" : "_orig.h";
        if (given & (ownAdded | ownAddedSetAside)) {
            makeHeaders({layout.colorSyncFrameworkPathToHeader("ColorSyncDeprecated" + suffix, sdk),
                         layout.printCoreFrameworkPathToHeader("PMCoreDeprecated" + suffix, sdk),
                         layout.printCoreFrameworkPathToHeader("PMDefinitionsDeprecated" + suffix, sdk),
                         layout.printFrameworkPathToHeader("PMApplicationDeprecated" + suffix, sdk)});
        }
    }

    // The actions as the files write them.
    QStringList lines(const QStringList &actions) const
    {
        QStringList result;
        for (qsizetype i = 0; i + 2 < actions.size(); i += 3) {
            const QString second = actions[i + 2].isEmpty() ? "\"\"" : actions[i + 2];
            result << QString(actions[i] + ' ' + actions[i + 1] + ' ' + second).replace(sdks, "$SDKS");
        }
        return result;
    }
};

QStringList golden(const char *name)
{
    QFile file(QStringLiteral(PLANS_DIR "/%1.txt").arg(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    lines.removeAll(QString());
    return lines;
}

} // namespace

TEST_F(RepairPlanTest, PlansAreTheExpectedActionLists)
{
    for (const PlanCase &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.fix ? "fix" : "restore") << " of 10." << c.minor << ", given "
                                        << c.given << ", expecting " << (c.golden ? c.golden : "nothing"));
        QTemporaryDir caseRoot;
        sdks = caseRoot.path();
        layout = FrameworkLayout(sdks);
        makeGiven(c.minor, c.given);

        const QStringList before{"Copy", "/earlier", "/action"};
        QStringList actions = before;
        (c.fix ? addFixActions : addRestoreActions)(actions, sdkOf(c.minor), layout);
        ASSERT_EQ(actions.mid(0, 3), before) << "what the list held stays first";
        ASSERT_EQ(actions.size() % 3, 0) << "whole actions only";

        const QStringList expected = c.golden ? golden(c.golden) : QStringList();
        const QStringList actual = lines(actions.mid(3));
        for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i) {
            if (actual.value(i) != expected.value(i)) {
                ADD_FAILURE() << "first difference in line " << i + 1 << "\n  expected: " << expected.value(i).toStdString()
                              << "\n  actual:   " << actual.value(i).toStdString();
                break;
            }
        }
    }
}

// Whether an SDK is fixed follows its set-aside headers through a link.
TEST_F(RepairPlanTest, TheQuickDrawProbeFollowsLinks)
{
    const QString sdk = sdkOf(9);
    const QString orig = layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdk);
    make(QFileInfo(orig).path());
    std::filesystem::create_directory_symlink("Elsewhere", orig.toStdString());
    EXPECT_FALSE(layout.doesQDHeaderOrigExistInSDK(sdk)) << "a dangling link";
    make(layout.qdFrameworkPathToHeaderDirectory("Elsewhere", sdk));
    EXPECT_TRUE(layout.doesQDHeaderOrigExistInSDK(sdk));
}

// The fix and restore plans as lists of strings, on small trees that hold
// only what the plans look at.

#include "fix_plan.h"
#include "qt_printers.h"
#include "restore_plan.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class RepairPlanTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.path();
    FrameworkLayout layout{sdks};

    static QString sdkOf(qint64 minor) { return QStringLiteral("MacOSX10.%1.sdk").arg(minor); }

    void make(const QString &path) { ASSERT_TRUE(QDir().mkpath(path)); }

    // What a complete fix leaves set aside in an SDK of that minor number.
    void makeSetAsideItems(qint64 minor)
    {
        const QString sdk = sdkOf(minor);
        make(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdk));
        if (minor > 9) {
            make(layout.printCoreFrameworkPathToHeader("PrintCore_orig.h", sdk));
            make(layout.printFrameworkPathToHeader("Print_orig.h", sdk));
        }
        if (minor == 10) {
            make(layout.printCoreFrameworkPathToFile("PrintCore_orig", sdk));
            make(layout.printFrameworkPathToFile("Print_orig", sdk));
        }
        if (minor > 11)
            make(layout.origQuickTimeFrameworkPath(sdk));
    }

    QStringList fix(const QString &sdk)
    {
        QStringList actions;
        addFixActions(actions, sdk, layout);
        return actions;
    }

    QStringList restore(const QString &sdk)
    {
        QStringList actions;
        addRestoreActions(actions, sdk, layout);
        return actions;
    }
};

// "verb first-operand-ending" for every action, to compare plans briefly.
QStringList shape(const QStringList &actions, const QString &sdks)
{
    QStringList result;
    for (qsizetype i = 0; i + 2 < actions.size(); i += 3) {
        QString first = actions[i + 1];
        first.remove(0, sdks.size() + 1);
        result << actions[i] + ' ' + first;
    }
    return result;
}

} // namespace

// Whether an SDK is fixed follows its set-aside headers through a link; the
// other probes are the restore's guards below.
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

// The number of strings of each plan, and the order rules of the fix.
TEST_F(RepairPlanTest, PlansByMinorNumber)
{
    const QMap<qint64, qsizetype> strings{{6, 6},   {7, 6},   {8, 6},   {9, 9},  {10, 42},
                                          {11, 42}, {12, 48}, {13, 48}, {14, 48}};
    for (auto it = strings.begin(); it != strings.end(); ++it) {
        const qint64 minor = it.key();
        SCOPED_TRACE(minor);
        const QString target = sdkOf(minor);
        const QStringList actions = fix(target);
        EXPECT_EQ(actions.size(), it.value());
        const QString targetPath = sdks + '/' + target + '/';
        const QString sourcePath = sdks + "/MacOSX10.6.sdk/";
        for (qsizetype i = 0; i < actions.size(); i += 3) {
            const QString verb = actions[i], first = actions[i + 1], second = actions[i + 2];
            EXPECT_TRUE(second.startsWith(targetPath)) << second.toStdString();
            if (verb == "Move") {
                EXPECT_TRUE(first.startsWith(targetPath));
                ASSERT_LT(i + 3, actions.size());
                EXPECT_EQ(actions[i + 3], "Copy") << "a Move comes right before its Copy";
                // From 10.11 on, a binary takes the name of the stub it replaces.
                QString freed = first;
                freed.remove(QRegularExpression("\\.tbd$"));
                EXPECT_EQ(actions[i + 5], freed) << "the Copy takes the name the Move freed";
            } else if (i == 0 && minor > 8) {
                EXPECT_EQ(first, layout.qdFrameworkPathToHeader("ColorSyncDeprecated.h", target))
                    << "action 1 copies from the target's own QuickDraw headers";
            } else {
                EXPECT_TRUE(first.startsWith(sourcePath)) << first.toStdString();
            }
        }
        const QStringList brief = shape(actions, sdks);
        EXPECT_EQ(brief.filter(".tbd").isEmpty(), minor <= 10);
        EXPECT_EQ(brief.filter("QuickTime").isEmpty(), minor <= 11);
        if (minor >= 12) {
            EXPECT_TRUE(brief.last().startsWith("Copy MacOSX10.6.sdk/System/Library/Frameworks/QuickTime.framework"));
        }

        makeSetAsideItems(minor);
        EXPECT_EQ(restore(target).size(), it.value()) << "restore";
        EXPECT_TRUE(fix(target).isEmpty()) << "a fixed SDK";
    }
}

TEST_F(RepairPlanTest, RestoreGuards)
{
    // Minor 10: the PrintCore binary was set aside, the Print binary was not.
    make(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdkOf(10)));
    make(layout.printCoreFrameworkPathToFile("PrintCore_orig", sdkOf(10)));
    QStringList brief = shape(restore(sdkOf(10)), sdks);
    EXPECT_EQ(brief.filter(QRegularExpression("Versions/A/PrintCore(_orig)?$")).size(), 2);
    EXPECT_EQ(brief.filter(QRegularExpression("Versions/A/Print(_orig)?$")).size(), 0);

    // Minor 12 without OrigQuickTime.framework ends with action 18.
    makeSetAsideItems(12);
    std::filesystem::remove(layout.origQuickTimeFrameworkPath(sdkOf(12)).toStdString());
    const QStringList actions = restore(sdkOf(12));
    EXPECT_EQ(actions.size(), 42);
    EXPECT_EQ(actions.mid(actions.size() - 3),
              (QStringList{"Move", layout.printFrameworkPathToFile("Print_orig.tbd", sdkOf(12)),
                           layout.printFrameworkPathToFile("Print.tbd", sdkOf(12))}));

    // Minor 11, never fixed: only the unguarded actions 3, 4, 5, 8 and 15 to 18.
    const QString sdk = sdkOf(11);
    const QString none;
    EXPECT_EQ(restore(sdk),
              (QStringList{"Remove", layout.colorSyncFrameworkPathToHeader("ColorSyncDeprecated.h", sdk), none,
                           "Remove", layout.printCoreFrameworkPathToHeader("PMCoreDeprecated.h", sdk), none,
                           "Remove", layout.printCoreFrameworkPathToHeader("PMDefinitionsDeprecated.h", sdk), none,
                           "Remove", layout.printFrameworkPathToHeader("PMApplicationDeprecated.h", sdk), none,
                           "Remove", layout.printCoreFrameworkPathToFile("PrintCore", sdk), none,
                           "Move", layout.printCoreFrameworkPathToFile("PrintCore_orig.tbd", sdk),
                           layout.printCoreFrameworkPathToFile("PrintCore.tbd", sdk),
                           "Remove", layout.printFrameworkPathToFile("Print", sdk), none,
                           "Move", layout.printFrameworkPathToFile("Print_orig.tbd", sdk),
                           layout.printFrameworkPathToFile("Print.tbd", sdk)}));

    // Minor 7: exactly the QuickDraw pair.
    make(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdkOf(7)));
    EXPECT_EQ(restore(sdkOf(7)),
              (QStringList{"Remove", layout.qdFrameworkPathToHeaderDirectory("Headers", sdkOf(7)), none,
                           "Move", layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdkOf(7)),
                           layout.qdFrameworkPathToHeaderDirectory("Headers", sdkOf(7))}));
}

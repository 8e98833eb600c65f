// The tool's lines about a run, as the runner takes them in.

#include "qt_printers.h"
#include "run_report.h"

#include <gtest/gtest.h>

namespace {

RunReport read(std::initializer_list<const char *> lines)
{
    RunReport report;
    for (const char *line : lines)
        readToolLine(line, report);
    return report;
}

} // namespace

TEST(RunReportTest, TotalsAndProgress)
{
    const struct {
        std::initializer_list<const char *> lines;
        bool counted;
        qint64 totalBytes, totalItems, doneBytes, doneItems;
    } cases[] = {
        {{"total 4800000000 48"}, true, 4800000000, 48, 0, 0},
        {{"total 0 0"}, true, 0, 0, 0, 0},
        {{"total 100 4", "progress 40 1", "progress 90 3"}, true, 100, 4, 90, 3},
        {{"progress 40 1"}, false, 0, 0, 0, 0},                           // before the totals: no share to show
        {{"total 100 4", "progress 140 9"}, true, 100, 4, 100, 4},        // never above the totals
        {{"total 100 4", "progress 50 2", "total 10 1"}, true, 10, 1, 10, 1},
        {{"total 1"}, false, 0, 0, 0, 0},                                 // malformed: ignored
        {{"total -1 2", "total +1 2", "total 1  2", "total 1 2x"}, false, 0, 0, 0, 0},
        {{"total 1 99999999999999999999"}, false, 0, 0, 0, 0},
        {{"later-keyword 1 2", "started", ""}, false, 0, 0, 0, 0},        // unknown lines: room for later
    };
    for (const auto &c : cases) {
        const RunReport report = read(c.lines);
        SCOPED_TRACE(*c.lines.begin());
        EXPECT_EQ(report.counted, c.counted);
        EXPECT_EQ(report.totalBytes, c.totalBytes);
        EXPECT_EQ(report.totalItems, c.totalItems);
        EXPECT_EQ(report.doneBytes, c.doneBytes);
        EXPECT_EQ(report.doneItems, c.doneItems);
        EXPECT_TRUE(report.failures.isEmpty());
        EXPECT_FALSE(report.refused);
    }
}

TEST(RunReportTest, FailuresAndRefusal)
{
    const RunReport report = read({
        "failed 2 Copy \"/a/b.sdk\" to \"/c/b.sdk\" failed: No space left on device",
        "failed 0 not an action",
        "failed x not a position",
        "failed 48 caf\xc3\xa9\x01\x7f end",
        "failed 7",
    });
    EXPECT_EQ(report.failures,
              (QList<ActionFailure>{{2, "Copy \"/a/b.sdk\" to \"/c/b.sdk\" failed: No space left on device"},
                                    {48, QString::fromUtf8("caf\xc3\xa9   end")},
                                    {7, ""}}));
    EXPECT_FALSE(report.refused);

    const RunReport refused = read({"refused action 1 (\"Copy\" \"/a/\" \"/b\"): not a clean absolute path"});
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(refused.refusal, "action 1 (\"Copy\" \"/a/\" \"/b\"): not a clean absolute path");
    EXPECT_TRUE(read({"refused "}).refused) << "even without a reason";
}

TEST(RunReportTest, HowEachSdksActionsEnded)
{
    const RunReport report = read({
        "group 1 3 done",
        "group 4 17 unchanged source: No such file or directory",
        "group 18 18 interrupted cannot undo: Permission denied",
        "group 5 4 done",      // last before first
        "group 0 1 done",      // no action 0
        "group 1 2 finished",  // no such end
        "group 1 done",
    });
    EXPECT_EQ(report.groups, (QList<GroupEnd>{{1, 3, GroupEnd::Done, ""},
                                              {4, 17, GroupEnd::Unchanged, "source: No such file or directory"},
                                              {18, 18, GroupEnd::Interrupted, "cannot undo: Permission denied"}}));
}

// The words of the progress line and of the failure sheet.

#include "qt_printers.h"
#include "run_reports.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

RunReport counted(qint64 doneBytes, qint64 totalBytes, qint64 doneItems = 0, qint64 totalItems = 0)
{
    RunReport report;
    report.counted = true;
    report.doneBytes = doneBytes;
    report.totalBytes = totalBytes;
    report.doneItems = doneItems;
    report.totalItems = totalItems;
    return report;
}

} // namespace

TEST(RunMessagesTest, ProgressLine)
{
    const struct {
        RunPurpose purpose;
        RunReport report;
        const char *text;
        std::optional<int> permille;
    } cases[] = {
        {on(RunPurpose::Export, 3, 3), counted(1'200'000'000, 4'800'000'000), "Exporting 3 SDKs: 1.2 of 4.8 GB", 250},
        {on(RunPurpose::Import, 1, 1), counted(0, 999), "Importing 1 SDK: 0 of 999 bytes", 0},
        {on(RunPurpose::Import, 1, 1), counted(999'940, 999'960), "Importing 1 SDK: 1.0 of 1.0 MB", 999},
        {on(RunPurpose::Export, 2, 2), counted(10'000, 999'940), "Exporting 2 SDKs: 10.0 of 999.9 kB", 10},
        {on(RunPurpose::Export, 2, 2), RunReport(), "Exporting 2 SDKs…", std::nullopt},     // still counting
        {on(RunPurpose::Restore, 4, 40), counted(0, 0), "Restoring 4 SDKs…", std::nullopt}, // nothing to copy
        {on(RunPurpose::Fix, 1, 3), counted(0, 0, 1, 4), "Fixing 1 SDK…", 250},             // only empty files
    };
    for (const auto &c : cases) {
        EXPECT_EQ(runProgressText(c.purpose, c.report), QString::fromUtf8(c.text));
        EXPECT_EQ(runProgressPermille(c.report), c.permille) << c.text;
    }
}

TEST(RunMessagesTest, OutcomeSheet)
{
    const RunPurpose export48 = on(RunPurpose::Export, 48, 48);
    EXPECT_FALSE(runOutcomeMessage(export48, ended(0)));

    auto sheet = runOutcomeMessage(export48, ended(1, 2));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "2 of 48 SDKs could not be exported.");
    EXPECT_EQ(sheet->informativeText, "reason 1\n\nreason 2");

    sheet = runOutcomeMessage(on(RunPurpose::Import, 1, 1), ended(1, 1));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "1 of 1 SDK could not be imported.");

    sheet = runOutcomeMessage(on(RunPurpose::Fix, 1, 1), ended(1, 5));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "5 of 5 actions failed.") << "never more failed than there were";
    EXPECT_EQ(sheet->informativeText, "reason 1\n\nreason 2\n\nreason 3\n\nAnd 2 more.");

    RunReport refused = ended(2);
    refused.refused = true;
    refused.refusal = "action 3: not a clean absolute path";
    sheet = runOutcomeMessage(on(RunPurpose::Restore, 2, 20), refused);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "No SDK was restored.");
    EXPECT_TRUE(sheet->informativeText.endsWith("\n\naction 3: not a clean absolute path"));

    // A tool that says nothing about its failures still fails visibly.
    for (const int status : {1, 2, -9}) {
        EXPECT_TRUE(runOutcomeMessage(export48, ended(status))) << status;
    }
}

// One line for every way a run can end, success named SDK by SDK.
TEST(RunMessagesTest, OutcomeLine)
{
    const QString home = QDir::homePath();
    RunReport dismissed = ended(126), notGranted = ended(127);
    dismissed.rights = RunReport::Dismissed;
    notGranted.rights = RunReport::NotGranted;
    const struct {
        RunPurpose purpose;
        RunReport report;
        QString line;
    } cases[] = {
        {on(RunPurpose::Fix, 1, 3), ended(0), "MacOSX10.7.sdk fixed."},
        {on(RunPurpose::Fix, 7, 21), ended(0), "7 SDKs fixed."},
        {on(RunPurpose::Restore, 1, 3), ended(0), "MacOSX10.7.sdk restored."},
        {on(RunPurpose::Restore, 2, 6), ended(0), "2 SDKs restored."},
        {on(RunPurpose::Export, 9, 9, {"MacOSX10.8.sdk"}, home + "/x"), ended(0),
         "Exported 9 SDKs to ~/x; MacOSX10.8.sdk was already there."},
        {on(RunPurpose::Export, 1, 1, {}, home), ended(0), "Exported MacOSX10.7.sdk to ~."},
        {on(RunPurpose::Export, 2, 2, {}, home + "x/y"), ended(0),
         "Exported 2 SDKs to " + home + "x/y."}, // not below the home folder
        {on(RunPurpose::Import, 1, 1, {"A.sdk", "B.sdk"}, "/in"), ended(0),
         "Imported MacOSX10.7.sdk from /in; A.sdk and B.sdk were already there."},
        {on(RunPurpose::Import, 3, 3, {"A.sdk", "B.sdk", "C.sdk", "D.sdk"}, "/in"), ended(0),
         "Imported 3 SDKs from /in; 4 SDKs were already there."},
        // A failure says what its sheet says; without the rights nothing ran.
        {on(RunPurpose::Fix, 1, 3), ended(1, 2), "2 of 3 actions failed."},
        {on(RunPurpose::Export, 9, 9), dismissed, "No SDK was changed: the administrator password was not given."},
        {on(RunPurpose::Fix, 1, 3), notGranted, "No SDK was changed: administrator rights could not be obtained."},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(runOutcomeLine(c.purpose, c.report), c.line);
    }
}

// A fix or restore names each SDK it did not change, and why, without a
// path; the paths go to the details.
TEST(RunMessagesTest, SdkOutcomesNameTheSdksAndTheirReasons)
{
    const QString sdks = "/S";
    const QString headers = sdks + "/MacOSX10.6.sdk/System/Library/Frameworks/ApplicationServices.framework/Versions/A/"
                                   "Frameworks/QD.framework/Versions/A/Headers";
    const QString shortHeaders = "MacOSX10.6.sdk/…/QD.framework/Versions/A/Headers";
    const auto purpose = [&](RunPurpose::Kind kind, QStringList names, QList<int> firsts, QList<LeftOutSdk> leftOut = {}) {
        return RunPurpose{kind, names, 4, {}, {}, leftOut, firsts, sdks};
    };
    const auto groups = [](QList<GroupEnd> ends, QList<ActionFailure> failures = {}) {
        RunReport report = ended(ends.size() > 1 || ends.value(0).kind != GroupEnd::Done ? 1 : 0);
        report.groups = ends;
        report.failures = failures;
        return report;
    };
    const QString copyFailed = "Copy \"" + headers + "\" to \"/S/MacOSX10.7.sdk/x\" failed: cannot read " + headers
                               + ": Permission denied";
    const struct {
        RunPurpose purpose;
        RunReport report;
        QString message, informative, details, line;
    } cases[] = {
        {purpose(RunPurpose::Fix, {"MacOSX10.7.sdk", "MacOSX10.8.sdk"}, {1, 3}),
         groups({{1, 2, GroupEnd::Unchanged, "cannot read " + headers + ": Permission denied"}, {3, 4, GroupEnd::Done, {}}},
                {{2, copyFailed}}),
         "MacOSX10.7.sdk could not be fixed and was left as it was: cannot read " + shortHeaders + ": Permission denied.",
         "MacOSX10.8.sdk fixed.", copyFailed,
         "MacOSX10.8.sdk fixed. MacOSX10.7.sdk could not be fixed and was left as it was: cannot read " + shortHeaders
             + ": Permission denied."},
        {purpose(RunPurpose::Fix, {}, {}, {{"MacOSX10.7.sdk", {PreflightProblem::Unreadable, headers}}}), ended(0),
         "MacOSX10.7.sdk was not fixed: " + shortHeaders + " cannot be read.", "", headers + " cannot be read",
         "MacOSX10.7.sdk was not fixed: " + shortHeaders + " cannot be read."},
        {purpose(RunPurpose::Restore, {"MacOSX10.9.sdk"}, {1}, {{"MacOSX10.12.sdk", {PreflightProblem::Missing, "/S/MacOSX10.12.sdk/x"}}}),
         groups({{1, 4, GroupEnd::Interrupted, "failed; cannot undo"}}),
         "2 SDKs could not be restored.",
         "MacOSX10.12.sdk was not restored: MacOSX10.12.sdk/x is missing.\n\nMacOSX10.9.sdk could not be restored, nor put back "
         "as it was: failed; cannot undo.",
         "/S/MacOSX10.12.sdk/x is missing",
         "MacOSX10.12.sdk was not restored: MacOSX10.12.sdk/x is missing. MacOSX10.9.sdk could not be restored, nor put back "
         "as it was: failed; cannot undo."},
    };
    for (const auto &c : cases) {
        const auto sheet = runOutcomeMessage(c.purpose, c.report);
        ASSERT_TRUE(sheet) << c.message.toStdString();
        EXPECT_EQ(sheet->message, c.message);
        EXPECT_EQ(sheet->informativeText, c.informative);
        EXPECT_EQ(sheet->detailedText, c.details);
        EXPECT_EQ(runOutcomeLine(c.purpose, c.report), c.line);
    }
    EXPECT_EQ(runOutcomeLine(purpose(RunPurpose::PutBack, {"MacOSX10.7.sdk"}, {1}), groups({{1, 1, GroupEnd::Done, {}}})),
              "MacOSX10.7.sdk was put back as it was.");
}

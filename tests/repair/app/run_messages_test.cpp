// The words of the progress line and of the failure sheet.

#include "qt_printers.h"
#include "run_messages.h"

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

RunReport ended(int status, int failures = 0)
{
    RunReport report;
    report.ended = true;
    report.exitStatus = status;
    for (int i = 1; i <= failures; ++i)
        report.failures.append({i * 2, QString("reason %1").arg(i)});
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
        {{RunPurpose::Export, 3, 3}, counted(1'200'000'000, 4'800'000'000), "Exporting 3 SDKs: 1.2 of 4.8 GB", 250},
        {{RunPurpose::Import, 1, 1}, counted(0, 999), "Importing 1 SDK: 0 of 999 bytes", 0},
        {{RunPurpose::Import, 1, 1}, counted(999'940, 999'960), "Importing 1 SDK: 1.0 of 1.0 MB", 999},
        {{RunPurpose::Export, 2, 2}, counted(10'000, 999'940), "Exporting 2 SDKs: 10.0 of 999.9 kB", 10},
        {{RunPurpose::Export, 2, 2}, RunReport(), "Exporting 2 SDKs…", std::nullopt},     // still counting
        {{RunPurpose::Restore, 4, 40}, counted(0, 0), "Restoring 4 SDKs…", std::nullopt}, // nothing to copy
        {{RunPurpose::Fix, 1, 3}, counted(0, 0, 1, 4), "Fixing 1 SDK…", 250},             // only empty files
    };
    for (const auto &c : cases) {
        EXPECT_EQ(runProgressText(c.purpose, c.report), QString::fromUtf8(c.text));
        EXPECT_EQ(runProgressPermille(c.report), c.permille) << c.text;
    }
}

TEST(RunMessagesTest, OutcomeSheet)
{
    const RunPurpose export48{RunPurpose::Export, 48, 48};
    EXPECT_FALSE(runOutcomeMessage(export48, ended(0)));

    auto sheet = runOutcomeMessage(export48, ended(1, 2));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "2 of 48 SDKs could not be exported.");
    EXPECT_EQ(sheet->informativeText, "reason 1\n\nreason 2");

    sheet = runOutcomeMessage({RunPurpose::Import, 1, 1}, ended(1, 1));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "1 of 1 SDK could not be imported.");

    sheet = runOutcomeMessage({RunPurpose::Fix, 1, 1}, ended(1, 5));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "5 of 5 actions failed.") << "never more failed than there were";
    EXPECT_EQ(sheet->informativeText, "reason 1\n\nreason 2\n\nreason 3\n\nAnd 2 more.");

    RunReport refused = ended(2);
    refused.refused = true;
    refused.refusal = "action 3: not a clean absolute path";
    sheet = runOutcomeMessage({RunPurpose::Restore, 2, 20}, refused);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->message, "No SDK was restored.");
    EXPECT_TRUE(sheet->informativeText.endsWith("\n\naction 3: not a clean absolute path"));

    // A tool that says nothing about its failures still fails visibly.
    for (const int status : {1, 2, -9}) {
        EXPECT_TRUE(runOutcomeMessage(export48, ended(status))) << status;
    }
}

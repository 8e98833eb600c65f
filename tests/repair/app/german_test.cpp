// Tarnwick for a user who reads German: the shipped translation, Qt's own,
// and the German disclaimer are found, and counts take their German forms.
// Run with the environment of a German desktop (see CMakeLists.txt).

#include "install_translators.h"
#include "qt_printers.h"
#include "run_messages.h"
#include "window.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

RunPurpose on(RunPurpose::Kind kind, int sdks, QStringList alreadyThere = {}, QString folder = {})
{
    QStringList names;
    for (int i = 0; i < sdks; ++i)
        names << QString("MacOSX10.%1.sdk").arg(7 + i);
    return {kind, names, sdks, alreadyThere, folder, {}, {}, {}};
}

RunReport ended(int failures = 0)
{
    RunReport report;
    report.rights = RunReport::Granted;
    report.ended = true;
    report.exitStatus = failures ? 1 : 0;
    for (int i = 1; i <= failures; ++i)
        report.failures.append({i, QString("reason %1").arg(i)});
    return report;
}

class GermanTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { installTranslators(); }
};

} // namespace

TEST_F(GermanTest, WindowSpeaksGerman)
{
    Window window;
    EXPECT_EQ(window.fixAllButton->text(), "Alle reparieren");
    EXPECT_EQ(window.exportAllButton->text(), "Alle exportieren …");
    EXPECT_EQ(window.menuBar()->actions().value(0)->text(), "&Datei");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen") << "Qt's own words";

    QFile eula(":/EULA.txt");
    ASSERT_TRUE(eula.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(eula.readAll()).startsWith("Tarnwick ändert")) << "the German disclaimer";
}

TEST_F(GermanTest, CountsTakeTheirForms)
{
    RunReport counting;
    counting.counted = true;
    counting.totalBytes = 4'800'000'000;
    counting.doneBytes = 1'200'000'000;
    const struct {
        QString text;
        const char *expected;
    } cases[] = {
        {runProgressText(on(RunPurpose::Export, 3), counting), "3 SDKs werden exportiert: 1,2 von 4,8 GB"},
        {runProgressText(on(RunPurpose::Fix, 1), RunReport()), "1 SDK wird repariert …"},
        {runOutcomeLine(on(RunPurpose::Fix, 1), ended()), "MacOSX10.7.sdk repariert."},
        {runOutcomeLine(on(RunPurpose::Restore, 4), ended()), "4 SDKs wiederhergestellt."},
        {runOutcomeLine(on(RunPurpose::Export, 2, {"MacOSX10.6.sdk"}, "/x"), ended()),
         "2 SDKs nach /x exportiert; MacOSX10.6.sdk war schon vorhanden."},
        {runOutcomeLine(on(RunPurpose::Import, 5), ended(2)), "Import bei 2 von 5 SDKs fehlgeschlagen."},
        {runOutcomeMessage(on(RunPurpose::Fix, 3), ended(5))->informativeText.section("\n\n", -1),
         "Und 2 weitere."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.text, QString::fromUtf8(c.expected));
}

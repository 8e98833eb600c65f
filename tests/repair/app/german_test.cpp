// Tarnwick for a user who reads German: the shipped translation, Qt's own,
// and the German disclaimer are found, and counts take their German forms.
// Run with the environment of a German desktop (see CMakeLists.txt).

#include "install_translators.h"
#include "qt_printers.h"
#include "run_reports.h"
#include "window.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

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
        {runProgressText(on(RunPurpose::Export, 3, 3), counting), "3 SDKs werden exportiert: 1,2 von 4,8 GB"},
        {runProgressText(on(RunPurpose::Fix, 1, 1), RunReport()), "1 SDK wird repariert …"},
        {runOutcomeLine(on(RunPurpose::Fix, 1, 1), ended(0)), "MacOSX10.7.sdk repariert."},
        {runOutcomeLine(on(RunPurpose::Restore, 4, 4), ended(0)), "4 SDKs wiederhergestellt."},
        {runOutcomeLine(on(RunPurpose::Export, 2, 2, {"MacOSX10.6.sdk"}, "/x"), ended(0)),
         "2 SDKs nach /x exportiert; MacOSX10.6.sdk war schon vorhanden."},
        {runOutcomeLine(on(RunPurpose::Import, 5, 5), ended(1, 2)), "Import bei 2 von 5 SDKs fehlgeschlagen."},
        {runOutcomeMessage(on(RunPurpose::Fix, 3, 3), ended(1, 5))->informativeText.section("\n\n", -1),
         "Und 2 weitere."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.text, QString::fromUtf8(c.expected));
}

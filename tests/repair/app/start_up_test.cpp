#include "tarnwick_fixture.h"

#include "disclaimer_sheet.h"

#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QTimer>

TEST_F(TarnwickTest, DisclaimerMustBeAcceptedOnceAndEscapeQuits)
{
    acceptDisclaimer(false);
    launch({"MacOSX10.6.sdk"});
    delegate->windowDidBecomeKey();
    auto *sheet = qobject_cast<DisclaimerSheet *>(delegate->disclaimerSheet());
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->text(), "Use of this Program is at your own risk");
    EXPECT_TRUE(sheet->informativeText().contains("administrator rights"));
    ASSERT_EQ(sheet->buttons().size(), 2);
    EXPECT_EQ(sheet->agreeButton()->text(), "I Agree to all of the above");

    delegate->windowDidBecomeKey();
    EXPECT_EQ(delegate->disclaimerSheet(), sheet) << "no second disclaimer over the first";

    QTest::keyClick(sheet, Qt::Key_Return);
    QTest::keyClick(sheet->agreeButton(), Qt::Key_Return);
    EXPECT_TRUE(sheet->isVisible()) << "Return presses nothing";
    EXPECT_FALSE(DisclaimerGate::eulaAcceptedFileExists());

    sheet->agreeButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !delegate->disclaimerSheet(); }));
    EXPECT_TRUE(QFileInfo(DisclaimerGate::eulaAcceptedFilePath()).isFile());
    EXPECT_EQ(QFileInfo(DisclaimerGate::eulaAcceptedFilePath()).size(), 0);
    delegate->windowDidBecomeKey();
    EXPECT_FALSE(delegate->disclaimerSheet());
    EXPECT_EQ(terminations, 0);

    // A folder named like the marker counts as acceptance too.
    acceptDisclaimer(false);
    QDir().mkpath(DisclaimerGate::eulaAcceptedFilePath());
    launch();
    delegate->windowDidBecomeKey();
    EXPECT_FALSE(delegate->disclaimerSheet());

    // Escape declines, and quits; no 10.6 SDK, whose sheet must not follow.
    acceptDisclaimer(false);
    QDir(sdks + "/MacOSX10.6.sdk").removeRecursively();
    launch({"MacOSX10.9.sdk"});
    delegate->windowDidBecomeKey();
    ASSERT_TRUE(delegate->disclaimerSheet());
    QTest::keyClick(delegate->disclaimerSheet(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return terminations == 1; }));
    EXPECT_FALSE(DisclaimerGate::eulaAcceptedFileExists());
    QCoreApplication::processEvents();
    EXPECT_FALSE(delegate->missing10_6Sheet()) << "nothing more for one who quits";
}

// The usual first start: no disclaimer accepted and no 10.6 SDK. One sheet
// at a time has the keyboard, each over the window with the focus on its
// button, and the window has it back at the end, its repair buttons off.
TEST_F(TarnwickTest, FirstStartWithoutThe10_6SdkTakesTheKeyboardSheetBySheet)
{
    acceptDisclaimer(false);
    launch({"MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk"}, {"MacOSX10.9.sdk"});
    auto *disclaimer = qobject_cast<DisclaimerSheet *>(delegate->disclaimerSheet());
    ASSERT_NE(disclaimer, nullptr);
    ASSERT_TRUE(becomesActive(disclaimer));
    EXPECT_FALSE(delegate->missing10_6Sheet()) << "not beside the disclaimer";
    EXPECT_EQ(QApplication::focusWidget(), disclaimer->agreeButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->missing10_6Sheet() && delegate->missing10_6Sheet()->isVisible(); }));
    QMessageBox *sheet = delegate->missing10_6Sheet();
    ASSERT_TRUE(becomesActive(sheet));
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->text(), "macOSX10.6.sdk missing.");
    EXPECT_EQ(sheet->informativeText(),
              "You will need to import \"macOSX10.6.sdk\" before fix/restore actions are available.");
    EXPECT_EQ(QApplication::focusWidget(), sheet->button(QMessageBox::Ok));
    EXPECT_TRUE(window->frameGeometry().contains(sheet->frameGeometry().center())) << "over its window";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->missing10_6Sheet(); }));
    giveTheKeyboardBack();
    EXPECT_EQ(QApplication::focusWidget(), window->sdkTable->viewAtRow(0));
    EXPECT_TRUE(DisclaimerGate::eulaAcceptedFileExists());
    EXPECT_EQ(terminations, 0);

    // Repair buttons show but are off; exporting needs no 10.6 SDK.
    EXPECT_EQ(rowState("MacOSX10.7.sdk").title, "Fix");
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore");
    for (const char *sdk : {"MacOSX10.7.sdk", "MacOSX10.9.sdk"}) {
        EXPECT_FALSE(rowState(sdk).hidden);
        EXPECT_FALSE(rowState(sdk).enabled);
    }
    pressAlt(true);
    EXPECT_TRUE(rowState("MacOSX10.7.sdk").enabled) << "export needs no 10.6 SDK";
    pressAlt(false);

    // Said once per launch, and not at all with the 10.6 SDK there.
    delegate->windowDidBecomeKey();
    runner.finish(0);
    EXPECT_FALSE(delegate->missing10_6Sheet());
    launch({"MacOSX10.6.sdk"});
    EXPECT_FALSE(delegate->missing10_6Sheet());
}

TEST_F(TarnwickTest, RememberedFolderIsLoadedAtLaunchAndSavedAtQuitOnly)
{
    QSettings().remove("LastImportExportDirURL");
    launch();
    EXPECT_FALSE(delegate->preferences().lastImportExportDirURL().isValid());
    delegate->applicationWillTerminate();
    EXPECT_FALSE(QSettings().contains("LastImportExportDirURL")) << "nothing chosen, nothing stored";

    delegate->preferences().setLastImportExportDirURL(QUrl::fromLocalFile(elsewhere));
    EXPECT_FALSE(QSettings().contains("LastImportExportDirURL"));
    delegate->applicationWillTerminate();
    EXPECT_EQ(QSettings().value("LastImportExportDirURL").toByteArray(), elsewhere.toUtf8());

    launch();
    EXPECT_EQ(delegate->preferences().lastImportExportDirURL(), QUrl::fromLocalFile(elsewhere));
    QDir(elsewhere).removeRecursively();
    launch();
    EXPECT_FALSE(delegate->preferences().lastImportExportDirURL().isValid()) << "a deleted folder does not resolve";
    delegate->applicationWillTerminate();
    EXPECT_EQ(QSettings().value("LastImportExportDirURL").toByteArray(), elsewhere.toUtf8())
        << "the stored value stays";
    QSettings().remove("LastImportExportDirURL");
}

// However large it was last time, the window opens within the screen.
TEST_F(TarnwickTest, WindowOpensWithinTheScreen)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    for (const QSize remembered : {QSize(), QSize(5000, 4000)}) {
        SCOPED_TRACE(remembered.width());
        if (remembered.isValid())
            QSettings().setValue("WindowSize", remembered);
        else
            QSettings().remove("WindowSize");
        launch();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const QRect screen = window->screen()->availableGeometry();
        const QRect frame = window->frameGeometry();
        EXPECT_LE(frame.width(), screen.width());
        EXPECT_LE(frame.height(), screen.height());
        EXPECT_TRUE(window->fixAllButton->isVisible());
        EXPECT_TRUE(window->rect().contains(QRect(window->importButton->mapTo(window.get(), QPoint(0, 0)),
                                                  window->importButton->size())))
            << "the buttons at the bottom are inside the window";
    }
    QSettings().remove("WindowSize");
}

// Closing the window while an export is under way and its sheet is up ends
// the application, which stores the folder chosen for that export, and the
// window's size.
TEST_F(TarnwickTest, ClosingTheWindowQuitsAndSavesThePreference)
{
    QSettings().remove("LastImportExportDirURL");
    launch({"MacOSX10.6.sdk", "MacOSX10.9.sdk"});
    exportAll(elsewhere);
    ASSERT_TRUE(delegate->alertSheet());
    dismiss(delegate->alertSheet());
    ASSERT_TRUE(window->progressBar->isVisible());

    window->resize(430, 330);
    bool closed = false;
    QTimer::singleShot(0, window.get(), [&] { closed = window->close(); });
    QTimer fault; // only a fault waits this long
    fault.callOnTimeout([] { QCoreApplication::exit(1); });
    fault.start(30000);
    EXPECT_EQ(QApplication::exec(), 0) << "closing the window ended the application";
    EXPECT_TRUE(closed);
    EXPECT_EQ(QSettings().value("LastImportExportDirURL").toByteArray(), elsewhere.toUtf8());
    QSettings().remove("LastImportExportDirURL");
    launch();
    EXPECT_EQ(window->size(), QSize(430, 330));
    QSettings().remove("WindowSize");

    // The window outlives its delegate at the process's end: the table's
    // model goes first, and the table is then empty.
    delegate.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->sdkTable->numberOfRows(), 0);
}

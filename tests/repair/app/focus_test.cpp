// The window with the keyboard alone: the Tab order, what shows the focus,
// Return and Enter on a button, and where the focus goes when a sheet closes.

#include "tarnwick_fixture.h"

TEST_F(TarnwickTest, TabFollowsTheReadingOrderAndEveryStopShowsIt)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk"}, {"MacOSX10.9.sdk"});
    // Rows without a button are a stop of their own, for their menu.
    const QList<QWidget *> order{
        rowView("MacOSX10.6.sdk"), rowView("MacOSX10.8.sdk"), rowButton("MacOSX10.8.sdk"),
        rowView("MacOSX10.9.sdk"), rowButton("MacOSX10.9.sdk"), rowView("MacOSX10.14.sdk"),
        window->fixAllButton, window->restoreAllButton, window->exportAllButton, window->importButton,
        window->showInFilesButton, rowView("MacOSX10.6.sdk"),
    };
    EXPECT_EQ(QApplication::focusWidget(), order[0]) << "the window starts at the first row";
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << "stop " << i;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), window->showInFilesButton);

    // A row with the focus is drawn otherwise; Up and Down go from row to row.
    TableCellView *row = rowView("MacOSX10.8.sdk");
    row->setFocus();
    const QImage withFocus = row->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), rowView("MacOSX10.9.sdk"));
    EXPECT_NE(row->grab().toImage(), withFocus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), rowView("MacOSX10.6.sdk"));
}

TEST_F(TarnwickTest, FocusReturnsToWhatOpenedTheSheet)
{
    for (const char *sdk : {"MacOSX10.6.sdk", "MacOSX10.8.sdk"})
        QDir().mkpath(elsewhere + '/' + sdk);
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk"});
    const auto answerSheetWithReturn = [&](QPointer<QMessageBox> sheet) {
        ASSERT_TRUE(sheet);
        ASSERT_TRUE(becomesActive(sheet));
        EXPECT_EQ(QApplication::focusWidget(), sheet->button(QMessageBox::Ok)) << "the sheet's one button";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet; }));
        giveTheKeyboardBack();
    };

    // Return and Enter press the focused button. A button that its run
    // turns off leaves the focus with the rows.
    rowButton("MacOSX10.8.sdk")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0][0], "Move") << "the fix of MacOSX10.8.sdk";
    EXPECT_EQ(QApplication::focusWidget(), rowView("MacOSX10.8.sdk"));
    runner.finish();
    window->fixAllButton->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(runner.calls.size(), 2);
    EXPECT_EQ(QApplication::focusWidget(), rowView("MacOSX10.6.sdk"));
    runner.finish();

    // Nothing to copy: the button that asked is still usable and has it back.
    window->exportAllButton->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels[0].message, "Choose destination directory to export all SDKs");
    choose({elsewhere});
    ASSERT_EQ(lastMessage(), "SDKs already exist.");
    answerSheetWithReturn(delegate->alertSheet());
    EXPECT_EQ(QApplication::focusWidget(), window->exportAllButton);

    // A row's export disables its button while it runs: the row takes it.
    QDir(elsewhere + "/MacOSX10.8.sdk").removeRecursively();
    rowButton("MacOSX10.8.sdk")->setFocus();
    QMenu *menu = openMenuOfFocus();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_E);
    choose({elsewhere});
    ASSERT_EQ(lastMessage(), "Exporting SDKs...");
    answerSheetWithReturn(delegate->alertSheet());
    EXPECT_EQ(QApplication::focusWidget(), rowView("MacOSX10.8.sdk"));
}

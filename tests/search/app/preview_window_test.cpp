#include "window_fixture.h"

#include <QClipboard>
#include <QFontInfo>
#include <QToolButton>

TEST_F(WindowTest, PreviewShowsTheHitsOfTheSearchAndGoesFromHitToHit)
{
    const std::string text = "/* NSNeedle */\nint NSNeedle;\n\tNSNee/* x */dle(); // NSNeedle\nnsneedle;\n";
    const QString path = header("MacOSX10.9.sdk/a.h", text);
    header("MacOSX10.9.sdk/b.h", "NSNeedle");
    launch();
    window->ignoreCommentsCheck->setChecked(true);
    window->caseSensitiveCheck->setChecked(true);
    search("NSNeedle");
    ASSERT_TRUE(waitForEnd());
    // The hits are those of the search that listed the row, whatever the
    // boxes say now.
    window->ignoreCommentsCheck->setChecked(false);
    window->caseSensitiveCheck->setChecked(false);
    ASSERT_TRUE(preview(column(0).indexOf("a.h")));

    const std::vector<Hit> expected = findHits(text, "NSNeedle", true, true);
    ASSERT_EQ(expected.size(), 2u) << "line 2, and line 3 across its comment";
    EXPECT_EQ(textView()->content().hits, expected);
    EXPECT_EQ(window->previewPane->hitCounter->text(), "Hit 1 of 2");
    EXPECT_EQ(textView()->selectedText(), "NSNeedle");
    EXPECT_EQ(textView()->cursorPosition(), 19) << "the caret at the start of the hit";

    QToolButton *next = nullptr;
    for (QToolButton *button : window->previewPane->findChildren<QToolButton *>()) {
        if (button->defaultAction() == window->previewPane->nextHitAction)
            next = button;
    }
    ASSERT_NE(next, nullptr);
    const struct {
        std::function<void()> press;
        QString counter, selected;
    } steps[] = {
        {[&] { QTest::keyClick(window->tableView, Qt::Key_F3); }, "Hit 2 of 2", "NSNee/* x */dle"},
        {[&] { QTest::keyClick(window->tableView, Qt::Key_G, Qt::ControlModifier); }, "Hit 1 of 2", "NSNeedle"},
        {[&] { QTest::keyClick(window->tableView, Qt::Key_F3, Qt::ShiftModifier); }, "Hit 2 of 2", "NSNee/* x */dle"},
        {[&] { QTest::keyClick(window->tableView, Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier); }, "Hit 1 of 2", "NSNeedle"},
        {[&] { QTest::mouseClick(next, Qt::LeftButton); }, "Hit 2 of 2", "NSNee/* x */dle"},
    };
    for (const auto &step : steps) {
        step.press();
        EXPECT_EQ(window->previewPane->hitCounter->text(), step.counter);
        EXPECT_EQ(textView()->selectedText(), step.selected);
    }
    EXPECT_EQ(window->tableView->selectionModel()->selectedRows().size(), 1) << "hits move in the preview only";

    // Read-only, selectable, copyable, in a fixed-width font.
    EXPECT_TRUE(QFontInfo(textView()->font()).fixedPitch());
    textView()->setFocus();
    QTest::keyClick(textView(), Qt::Key_Up);
    QTest::keyClick(textView(), Qt::Key_Home);
    QTest::keyClick(textView(), Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(textView(), Qt::Key_X);
    QTest::keyClick(textView(), Qt::Key_Delete);
    EXPECT_EQ(textView()->content().text, QString::fromStdString(text));
    QTest::keyClick(textView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "int NSNeedle;");
    const QRect word = textView()->characterRect(text.find("nsneedle") + 2);
    QTest::mouseDClick(textView()->viewport(), Qt::LeftButton, {}, word.center());
    EXPECT_EQ(textView()->selectedText(), "nsneedle");
}

TEST_F(WindowTest, RowSelectedDuringARunningSearchPreviewsWithoutDisturbingIt)
{
    makeManyHeaders({"10.9", "10.10"}, 3000);
    launch();
    search("NSNeedle", "All");
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->tableData.rows().size() > 3; }));
    ASSERT_TRUE(delegate->searchThread) << "still searching";
    ASSERT_TRUE(preview(0));
    EXPECT_EQ(window->previewPane->hitCounter->text(), "Hit 1 of 1");
    // Going down the rows quickly ends on the last one chosen.
    window->tableView->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(window->tableView, Qt::Key_Down);
    ASSERT_TRUE(waitForPreview(delegate->tableData.rows().at(3).path()));

    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(delegate->tableData.rows().size(), 6000);
    EXPECT_FALSE(window->searchCancelledLabel->isVisible());
    EXPECT_EQ(window->fileCountLabel->text(), "6000 files");
    EXPECT_EQ(window->previewPane->shownPath(), delegate->tableData.rows().at(3).path());
}

TEST_F(WindowTest, PreviewFollowsTheRecordUnderTheSelectionAndEmptiesWithTheTable)
{
    for (const char *name : {"b.h", "a.h", "c.h"})
        header(QString("MacOSX10.9.sdk/") + name, std::string("int x; // ") + name);
    launch();
    search("x");
    ASSERT_TRUE(waitForEnd());
    window->tableView->horizontalHeader()->sectionClicked(0);
    EXPECT_TRUE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    ASSERT_TRUE(preview(0));
    EXPECT_EQ(window->previewPane->shownPath(), QFile::encodeName(sdks + "/MacOSX10.9.sdk/a.h"));
    // Sorting leaves the selection on its row, under which now lies c.h.
    window->tableView->horizontalHeader()->sectionClicked(0);
    ASSERT_EQ(delegate->tableData.rows().at(0).displayName(), "c.h");
    EXPECT_TRUE(waitForPreview((sdks + "/MacOSX10.9.sdk/c.h").toUtf8()));

    // An empty search text clears everything and starts nothing.
    search("");
    EXPECT_EQ(delegate->searchThread, nullptr);
    EXPECT_TRUE(column(0).isEmpty());
    EXPECT_FALSE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    EXPECT_TRUE(controlsEnabled());
    EXPECT_EQ(window->fileCountLabel->text(), "0 files");
    EXPECT_TRUE(window->previewPane->shownPath().isEmpty());
    EXPECT_TRUE(textView()->content().text.isEmpty());
    EXPECT_FALSE(window->previewPane->nextHitAction->isEnabled());
}

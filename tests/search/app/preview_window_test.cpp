#include "window_fixture.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QToolButton>

TEST_F(WindowTest, PreviewShowsTheHitsOfTheSearchAndGoesFromHitToHit)
{
    const std::string text = "/* NSNeedle */\nint NSNeedle;\n\tNSNee/* x */dle(); // NSNeedle\nnsneedle;\n";
    const QString path = header("MacOSX10.9.sdk/a.h", text);
    header("MacOSX10.9.sdk/b.h", "NSNeedle");
    launch();
    window->ignoreCommentsCheck->setChecked(true);
    window->caseSensitiveCheck->setChecked(true);
    ASSERT_TRUE(searchToEnd("NSNeedle"));
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

    // Read-only, selectable, copyable, in the platform's fixed-width font
    // (what the machine's fonts make of it is theirs).
    EXPECT_EQ(textView()->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->tableData().rows().size() > 3; }));
    ASSERT_TRUE(delegate->searchThread()) << "still searching";
    ASSERT_TRUE(preview(0));
    EXPECT_EQ(window->previewPane->hitCounter->text(), "Hit 1 of 1");
    // Going down the rows quickly ends on the last one chosen.
    window->tableView->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(window->tableView, Qt::Key_Down);
    ASSERT_TRUE(waitForPreview(delegate->tableData().rows().at(3).path()));

    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(delegate->tableData().rows().size(), 6000);
    EXPECT_FALSE(window->searchCancelledLabel->isVisible());
    EXPECT_EQ(window->fileCountLabel->text(), "6000 files");
    EXPECT_EQ(window->previewPane->shownPath(), delegate->tableData().rows().at(3).path());
}

TEST_F(WindowTest, SortingKeepsTheSelectedHeadersInViewWithTheirPreview)
{
    // More rows than the table shows; a.h in UTF-8, as newer SDKs write.
    for (int i = 0; i < 60; ++i)
        header(QString("MacOSX10.9.sdk/h%1.h").arg(i), "int x;");
    header("MacOSX10.9.sdk/a.h", "int x; // \xC2\xA9 2016 Lain\xC3\xA9\n");
    launch();
    ASSERT_TRUE(searchToEnd("x"));
    clickHeader(0);
    EXPECT_TRUE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    ASSERT_EQ(column(0).at(0), "a.h");
    // h5.h, then a.h with it, which the preview shows.
    ASSERT_TRUE(preview(static_cast<int>(column(0).indexOf("h5.h"))));
    clickCell(0, 0, Qt::ControlModifier);
    ASSERT_TRUE(waitForPreview(delegate->tableData().rows().at(0).path()));
    EXPECT_TRUE(textView()->content().text.contains(QString::fromUtf8("\xC2\xA9 2016 Lain\xC3\xA9")));
    const PreviewContent *shown = &textView()->content();
    const auto selectedNames = [&] {
        QStringList names;
        for (const QModelIndex &index : window->tableView->selectionModel()->selectedRows())
            names << delegate->tableData().rows().at(index.row()).displayName();
        names.sort();
        return names;
    };
    ASSERT_EQ(selectedNames(), (QStringList{"a.h", "h5.h"}));

    // Names descending take a.h to the bottom, paths back to the top.
    const struct {
        int section, row;
    } sorts[] = {{0, 60}, {1, 0}};
    for (const auto &sort : sorts) {
        clickHeader(sort.section);
        const int row = static_cast<int>(column(0).indexOf("a.h"));
        ASSERT_EQ(row, sort.row) << sort.section;
        EXPECT_EQ(window->tableView->selectedRow(), row);
        EXPECT_EQ(selectedNames(), (QStringList{"a.h", "h5.h"}));
        EXPECT_TRUE(window->tableView->viewport()->rect().contains(
            window->tableView->visualRect(delegate->tableData().index(row, 0))))
            << "scrolled into view";
        EXPECT_EQ(window->previewPane->shownPath(), delegate->tableData().rows().at(row).path());
        EXPECT_FALSE(window->previewPane->isLoading());
        EXPECT_EQ(&textView()->content(), shown) << "the preview was not read again";
    }

    // An empty search text clears everything and starts nothing.
    search("");
    EXPECT_EQ(delegate->searchThread(), nullptr);
    EXPECT_TRUE(column(0).isEmpty());
    EXPECT_FALSE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    EXPECT_TRUE(controlsEnabled());
    EXPECT_EQ(window->fileCountLabel->text(), "0 files");
    EXPECT_TRUE(window->previewPane->shownPath().isEmpty());
    EXPECT_TRUE(textView()->content().text.isEmpty());
    EXPECT_FALSE(window->previewPane->nextHitAction->isEnabled());
    EXPECT_TRUE(window->tableView->emptyText().isEmpty()) << "nothing was searched";
}

#include "app_delegate.h"
#include "my_table_view.h"
#include "my_window.h"
#include "qt_printers.h"
#include "search_thread.h"
#include "tree_snapshot.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ScoutmarkTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.filePath("SDKs");
    std::unique_ptr<MyWindow> window;
    std::unique_ptr<AppDelegate> delegate;
    QList<QUrl> opened;

    void SetUp() override
    {
        QSettings().clear();
        QDir().mkpath(sdks);
    }
    void TearDown() override
    {
        delegate.reset();
        window.reset();
        QSettings().clear();
    }

    void header(const QString &path, const QString &text)
    {
        writeFile((sdks + "/" + path).toStdString(), text.toStdString());
    }

    // count headers per SDK, each holding "NSNeedle", in nested folders.
    void makeManyHeaders(const QStringList &osNums, int count)
    {
        for (const QString &osNum : osNums)
            for (int i = 0; i < count; ++i)
                header(QString("MacOSX%1.sdk/usr/include/d%2/h%3.h").arg(osNum).arg(i / 100).arg(i),
                       "int NSNeedle;\n");
    }

    void launch()
    {
        delegate.reset();
        window.reset();
        window = std::make_unique<MyWindow>();
        delegate = std::make_unique<AppDelegate>(window.get(), sdks);
        delegate->openUrl = [this](const QUrl &url) { opened.append(url); };
        window->show();
        delegate->applicationDidFinishLaunching();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void search(const QString &text)
    {
        window->searchField->setText(text);
        QTest::keyClick(window->searchField, Qt::Key_Return);
    }

    bool waitForEnd(int ms = 20000)
    {
        return QTest::qWaitFor([&] { return !delegate->searchThread; }, ms);
    }

    QStringList column(int index) const
    {
        QStringList values;
        for (const ResultRow &row : delegate->tableData.rows())
            values << (index == 0 ? row.name : row.path);
        return values;
    }

    bool controlsEnabled() const
    {
        return window->searchField->isEnabled() && window->sdkPopUp->isEnabled()
               && window->ignoreCommentsCheck->isEnabled() && window->caseSensitiveCheck->isEnabled();
    }
};

} // namespace

TEST_F(ScoutmarkTest, SearchRunsFromReturnToItsEnd)
{
    header("MacOSX10.9.sdk/usr/include/a.h", "int NSNeedle;");
    header("MacOSX10.9.sdk/usr/include/b.h", "int nsneedle; // NSNeedle");
    header("MacOSX10.13.sdk/usr/include/c.h", "/* NSNeedle */");
    launch();
    EXPECT_EQ(window->sdkPopUp->currentText(), "10.13") << "the newest SDK on a first run";
    window->sdkPopUp->setCurrentText("All");

    search("NSNeedle");
    EXPECT_FALSE(controlsEnabled()) << "disabled from the start";
    EXPECT_TRUE(window->progInd->isVisible());
    EXPECT_EQ(window->fileCountLabel->text(), "0 files");
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(controlsEnabled());
    EXPECT_FALSE(window->progInd->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), window->searchField);
    EXPECT_EQ(column(0).size(), 3);
    EXPECT_EQ(column(0).last(), "c.h") << "10.9 first, then 10.13";
    EXPECT_EQ(window->fileCountLabel->text(), "3 files");
    EXPECT_FALSE(window->searchCancelledLabel->isVisible());

    window->ignoreCommentsCheck->setChecked(true);
    window->caseSensitiveCheck->setChecked(true);
    search("NSNeedle");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(column(0), QStringList{"a.h"});
    EXPECT_EQ(window->fileCountLabel->text(), "1 file");

    window->ignoreCommentsCheck->setCheckState(Qt::PartiallyChecked);
    search("NSNeedle");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(column(0).size(), 3) << "a check box in the mixed state counts as off";
}

TEST_F(ScoutmarkTest, EmptySearchTextClearsAndStartsNothing)
{
    header("MacOSX10.9.sdk/a.h", "x");
    header("MacOSX10.9.sdk/b.h", "x");
    launch();
    search("x");
    ASSERT_TRUE(waitForEnd());
    window->tableView->horizontalHeader()->sectionClicked(0);
    EXPECT_TRUE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    search("");
    EXPECT_EQ(delegate->searchThread, nullptr);
    EXPECT_TRUE(column(0).isEmpty());
    EXPECT_FALSE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    EXPECT_TRUE(controlsEnabled());
    EXPECT_EQ(window->fileCountLabel->text(), "0 files");
}

TEST_F(ScoutmarkTest, EscapeCancelsARunningSearchOnly)
{
    makeManyHeaders({"10.9", "10.10", "10.11"}, 4000);
    launch();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->searchCancelledLabel->isVisible()) << "Escape with no search does nothing";

    window->sdkPopUp->setCurrentText("All");
    search("NSNeedle");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->tableData.rows().isEmpty(); }));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(window->searchCancelledLabel->isVisible());
    const qsizetype found = delegate->tableData.rows().size();
    EXPECT_GT(found, 0);
    EXPECT_LT(found, 12000);
    EXPECT_EQ(window->fileCountLabel->text(), QString("%1 files").arg(found));
    EXPECT_TRUE(controlsEnabled());

    search("NSNeedle");
    EXPECT_FALSE(window->searchCancelledLabel->isVisible()) << "a new search hides the notice";
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(delegate->tableData.rows().size(), 12000);
    EXPECT_FALSE(window->searchCancelledLabel->isVisible());
}

TEST_F(ScoutmarkTest, SortingDuringARunSortsWhatIsThereAndAppendsTheRest)
{
    makeManyHeaders({"10.9", "10.10"}, 4000);
    launch();
    window->sdkPopUp->setCurrentText("All");
    search("NSNeedle");
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->tableData.rows().size() > 10; }));
    QTest::mouseClick(window->tableView->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(window->tableView->horizontalHeader()->sectionViewportPosition(0) + 5, 5));
    const qsizetype sortedCount = delegate->tableData.rows().size();
    ASSERT_TRUE(waitForEnd());
    const QStringList names = column(0);
    ASSERT_EQ(names.size(), 8000);
    QStringList head = names.mid(0, sortedCount);
    QStringList expected = head;
    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    EXPECT_EQ(head, expected) << "the rows found before the click are sorted";
    const QStringList paths = column(1);
    const QStringList tail = paths.mid(sortedCount);
    const QSet<QString> sortedPaths(paths.begin(), paths.begin() + sortedCount);

    // Clicking again reverses; numbers compare by value.
    window->tableView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(delegate->sortDescriptors.first().ascending, false);
    window->tableView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(column(0).mid(0, 3), (QStringList{"h0.h", "h0.h", "h1.h"}));
    EXPECT_EQ(column(0).at(4), "h2.h") << "h2 before h10";

    search("NSNeedle");
    EXPECT_TRUE(delegate->sortDescriptors.isEmpty());
    EXPECT_FALSE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    ASSERT_TRUE(waitForEnd());
    QStringList walkOrder;
    for (const QString &path : column(1))
        if (!sortedPaths.contains(path))
            walkOrder << path;
    EXPECT_EQ(tail, walkOrder) << "later rows arrive below, in the order found";
}

TEST_F(ScoutmarkTest, OpeningHeadersFromTheTable)
{
    header("MacOSX10.9.sdk/a.h", "x");
    launch();
    search("x");
    ASSERT_TRUE(waitForEnd());
    window->tableView->setFocus();
    QTest::keyClick(window->tableView, Qt::Key_Return);
    EXPECT_TRUE(opened.isEmpty()) << "no selection, nothing opened";

    window->tableView->selectRow(0);
    QTest::keyClick(window->tableView, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(opened.isEmpty()) << "the keypad's Enter is the table's";
    QTest::keyClick(window->tableView, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(sdks + "/MacOSX10.9.sdk/a.h"));

    const QRect cell = window->tableView->visualRect(delegate->tableData.index(0, 0));
    QTest::mouseClick(window->tableView->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(window->tableView->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(ScoutmarkTest, PreferencesRoundTrip)
{
    for (const char *sdk : {"MacOSX10.9.sdk", "MacOSX10.14.sdk", "MacOSX10.13.sdk"})
        QDir().mkpath(sdks + "/" + sdk);
    launch();
    QStringList items;
    for (int i = 0; i < window->sdkPopUp->count(); ++i)
        items << window->sdkPopUp->itemText(i);
    EXPECT_EQ(items, (QStringList{"All", "10.9", "10.13", "10.14"}));
    EXPECT_EQ(window->sdkPopUp->currentText(), "10.14");
    EXPECT_FALSE(window->ignoreCommentsCheck->isChecked());
    EXPECT_FALSE(window->caseSensitiveCheck->isChecked());
    EXPECT_EQ(window->searchField->text(), "");

    window->searchField->setText("NSString");
    window->sdkPopUp->setCurrentText("All");
    window->ignoreCommentsCheck->setChecked(true);
    delegate->applicationWillTerminate();
    EXPECT_EQ(QSettings().value("SearchString").toString(), "NSString");
    EXPECT_EQ(QSettings().value("IgnoreComments").toInt(), 1);
    EXPECT_EQ(QSettings().value("CaseSensitive").toInt(), 0);

    launch();
    EXPECT_EQ(window->searchField->text(), "NSString");
    EXPECT_EQ(window->sdkPopUp->currentText(), "All");
    EXPECT_TRUE(window->ignoreCommentsCheck->isChecked());
    EXPECT_FALSE(window->caseSensitiveCheck->isChecked());

    QSettings().setValue("SDKTitle", "10.13");
    QDir(sdks + "/MacOSX10.13.sdk").removeRecursively();
    QSettings().setValue("SearchString", "");
    launch();
    EXPECT_EQ(window->sdkPopUp->currentText(), "10.14") << "a removed SDK gives way to the newest";
    EXPECT_EQ(window->searchField->text(), "");

    QDir(sdks).removeRecursively();
    launch();
    EXPECT_EQ(window->sdkPopUp->count(), 1);
    EXPECT_EQ(window->sdkPopUp->currentText(), "All");
}

TEST_F(ScoutmarkTest, PlatformKeysAreWrittenAtEveryStart)
{
    QSettings().setValue("NSDisabledDictationMenuItem", false);
    writePlatformDefaults();
    EXPECT_TRUE(QSettings().value("NSDisabledDictationMenuItem").toBool());
    EXPECT_TRUE(QSettings().value("NSDisabledCharacterPaletteMenuItem").toBool());
}

TEST_F(ScoutmarkTest, FindPutsTheFocusInTheSearchField)
{
    launch();
    window->tableView->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->searchField);
    EXPECT_TRUE(window->testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(ScoutmarkTest, ControlsReachAssistiveTechnology)
{
    header("MacOSX10.9.sdk/a.h", "x");
    launch();
    search("x");
    ASSERT_TRUE(waitForEnd());
    const std::function<QAccessibleInterface *(QAccessibleInterface *, QAccessible::Role, const QString &)> find =
        [&](QAccessibleInterface *node, QAccessible::Role role, const QString &name) -> QAccessibleInterface * {
        if (node->role() == role && (node->text(QAccessible::Name) == name || node->text(QAccessible::Value) == name))
            return node;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface *found = find(node->child(i), role, name))
                return found;
        return nullptr;
    };
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window.get());
    EXPECT_NE(find(top, QAccessible::EditableText, "Search"), nullptr);
    QAccessibleInterface *sdkLabel = find(top, QAccessible::StaticText, "SDK:");
    ASSERT_NE(sdkLabel, nullptr);
    const auto labelled = sdkLabel->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first->role(), QAccessible::ComboBox) << "the pop-up is named by its label";
    EXPECT_NE(find(top, QAccessible::CheckBox, "Ignore comments"), nullptr);
    EXPECT_NE(find(top, QAccessible::CheckBox, "Case sensitive"), nullptr);
    EXPECT_NE(find(top, QAccessible::StaticText, "1 file"), nullptr);
    EXPECT_NE(find(top, QAccessible::ColumnHeader, "Path"), nullptr);
    EXPECT_NE(find(top, QAccessible::Cell, "a.h"), nullptr);
    EXPECT_NE(find(top, QAccessible::Cell, sdks + "/MacOSX10.9.sdk/a.h"), nullptr);
}

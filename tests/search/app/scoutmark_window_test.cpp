#include "about_box_check.h"
#include "window_fixture.h"

#include <QFile>
#include <QProgressBar>
#include <QScreen>
#include <QSemaphore>
#include <QSplitter>

#include <atomic>
#include <sys/resource.h>
#include <thread>
#include <utility>
#include <unistd.h>

namespace {

// Whether a descriptor of this process refers to path.
bool holdsOpen(const QString &path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error)) {
        std::error_code unreadable;
        if (fs::read_symlink(it->path(), unreadable) == fs::path(path.toStdString()))
            return true;
    }
    return false;
}

using ScoutmarkTest = WindowTest;

} // namespace

TEST_F(ScoutmarkTest, SearchRunsFromReturnToItsEnd)
{
    header("MacOSX10.9.sdk/usr/include/a.h", "int NSNeedle;");
    header("MacOSX10.9.sdk/usr/include/b.h", "int nsneedle; // NSNeedle");
    header("MacOSX10.13.sdk/usr/include/c.h", "/* NSNeedle */");
    launch();
    EXPECT_EQ(window->sdkPopUp->currentText(), "10.13") << "the newest SDK on a first run";

    search("NSNeedle", "All");
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
    ASSERT_TRUE(searchToEnd("NSNeedle"));
    EXPECT_EQ(column(0), QStringList{"a.h"});
    EXPECT_EQ(window->fileCountLabel->text(), "1 file");

    window->ignoreCommentsCheck->setCheckState(Qt::PartiallyChecked);
    ASSERT_TRUE(searchToEnd("NSNeedle"));
    EXPECT_EQ(column(0).size(), 3) << "a check box in the mixed state counts as off";
    EXPECT_TRUE(window->tableView->emptyText().isEmpty());

    // Nothing found: the table says what was searched, and what never is.
    header("MacOSX10.13.sdk/System/Library/Frameworks/Python.framework/Headers/object.h", "#define Py_INCREF(op)");
    const struct {
        QString sdk;
        bool ignoreComments, caseSensitive;
        QString first;
    } empty[] = {
        {"10.13", false, true, "No header of SDK 10.13 contains “Py_INCREF” in this letter case."},
        {"All", true, false, "No header of any SDK contains “Py_INCREF” outside comments."},
    };
    for (const auto &c : empty) {
        window->ignoreCommentsCheck->setChecked(c.ignoreComments);
        window->caseSensitiveCheck->setChecked(c.caseSensitive);
        search("Py_INCREF", c.sdk);
        EXPECT_TRUE(window->tableView->emptyText().isEmpty()) << "not while it runs";
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(window->fileCountLabel->text(), "0 files");
        EXPECT_EQ(window->tableView->emptyText(),
                  c.first + "\nThe Python, Ruby, RubyCocoa, Tcl, and Tk frameworks are not searched.");
    }
    ASSERT_TRUE(searchToEnd("NSNeedle"));
    EXPECT_TRUE(window->tableView->emptyText().isEmpty());
}

// The window's thread gets a core at once while a search keeps every core
// busy: the run and the threads it starts are nicer than the window.
TEST_F(ScoutmarkTest, ASearchGivesWayToTheWindowAndQuittingDoesNotWaitForIt)
{
    header("MacOSX10.9.sdk/a.h", "x");
    launch();
    const auto niceness = [] { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); };
    const int windows = niceness();
    std::atomic<int> runs = windows, workers = windows;
    delegate->searchControl().searchBody = [&](const SearchRequest &, SearchSink &) {
        runs = niceness();
        std::thread([&] { workers = niceness(); }).join();
        return false;
    };
    ASSERT_TRUE(searchToEnd("x"));
    EXPECT_EQ(runs, std::min(windows + SearchThread::niceness, SearchThread::maxNice));
    EXPECT_EQ(workers, runs.load());
    EXPECT_EQ(niceness(), windows) << "the window's own thread keeps its place";

    // A run caught in a read that does not return, as on a hung network
    // file system; the watchdog frees it only if quitting waited for it.
    QSemaphore stuck;
    std::atomic<bool> freed = false;
    delegate->searchControl().searchBody = [&](const SearchRequest &, SearchSink &) {
        if (!stuck.tryAcquire(1, 30000))
            freed = true;
        return false;
    };
    int exits = 0;
    bool workerRunningAtExit = false;
    delegate->searchControl().exitProcess = [&](int status) {
        EXPECT_EQ(status, 0);
        ++exits;
        workerRunningAtExit = delegate->searchThread() && delegate->searchThread()->isRunning();
    };
    search("x");
    window->sdkPopUp->setCurrentText("All");
    delegate->applicationWillTerminate();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(workerRunningAtExit);
    EXPECT_FALSE(freed) << "quitting waited for the worker";
    EXPECT_EQ(QSettings().value("SDKTitle").toString(), "All") << "the settings were saved first";
    stuck.release();
    ASSERT_TRUE(delegate->searchThread()->wait(30000)) << "the worker leaves what it holds of this test";
}

TEST_F(ScoutmarkTest, EscapeCancelsARunningSearchOnly)
{
    makeManyHeaders({"10.9", "10.10"}, 400);
    // Read to its end, this header would keep the first SDK busy for
    // minutes: the run ends soon only if Escape stops it inside that SDK,
    // in the middle of the header.
    const QString huge = header("MacOSX10.9.sdk/huge/huge.h", "");
    ASSERT_TRUE(QFile::resize(huge, qint64(2) << 40)) << "a sparse file of two terabytes";
    launch();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window->searchCancelledLabel->isVisible()) << "Escape with no search does nothing";

    search("NSNeedle", "All");
    // The worker's descriptors are this process's own.
    ASSERT_TRUE(QTest::qWaitFor([&] { return holdsOpen(huge); }, 20000)) << "the worker reads the header";
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Escape);
    QTest::keyClick(focus, Qt::Key_Escape);
    ASSERT_TRUE(waitForEnd(60000));
    EXPECT_TRUE(window->searchCancelledLabel->isVisible());
    const qsizetype found = delegate->tableData().rows().size();
    for (const QString &path : column(1))
        EXPECT_TRUE(path.startsWith(sdks + "/MacOSX10.9.sdk/")) << qPrintable(path);
    EXPECT_EQ(window->fileCountLabel->text(), QString("%1 %2").arg(found).arg(found == 1 ? "file" : "files"));
    EXPECT_TRUE(controlsEnabled());

    QFile::remove(huge);
    search("NSNeedle");
    EXPECT_FALSE(window->searchCancelledLabel->isVisible()) << "a new search hides the notice";
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(delegate->tableData().rows().size(), 800);
    EXPECT_FALSE(window->searchCancelledLabel->isVisible());
}

TEST_F(ScoutmarkTest, SortingDuringARunSortsWhatIsThereAndAppendsTheRest)
{
    makeManyHeaders({"10.9", "10.10"}, 4000);
    launch();
    search("NSNeedle", "All");
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->tableData().rows().size() > 10; }));
    clickHeader(0);
    const qsizetype sortedCount = delegate->tableData().rows().size();
    ASSERT_TRUE(waitForEnd());
    const QStringList names = column(0);
    ASSERT_EQ(names.size(), 8000);
    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.begin() + sortedCount, collator))
        << "the rows found before the click are sorted";
    const QStringList paths = column(1);
    const QStringList tail = paths.mid(sortedCount);
    const QSet<QString> sortedPaths(paths.begin(), paths.begin() + sortedCount);

    // Clicking again reverses; numbers compare by value.
    window->tableView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(delegate->sortDescriptors().first().ascending, false);
    window->tableView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(column(0).mid(0, 3), (QStringList{"h0.h", "h0.h", "h1.h"}));
    EXPECT_EQ(column(0).at(4), "h2.h") << "h2 before h10";

    search("NSNeedle");
    EXPECT_TRUE(delegate->sortDescriptors().isEmpty());
    EXPECT_FALSE(window->tableView->horizontalHeader()->isSortIndicatorShown());
    ASSERT_TRUE(waitForEnd());
    QStringList walkOrder;
    for (const QString &path : column(1)) {
        if (!sortedPaths.contains(path))
            walkOrder << path;
    }
    EXPECT_EQ(tail, walkOrder) << "later rows arrive below, in the order found";
}

TEST_F(ScoutmarkTest, OpeningHeadersFromTheTable)
{
    // Two names that differ only in bytes that are not UTF-8 read alike in
    // the table, but name different files.
    const std::string folder = (sdks + "/MacOSX10.9.sdk/").toStdString();
    for (const char *name : {"b.h", "a\xff.h", "c.h", "a\xfe.h"})
        writeFile(folder + name, "x");
    launch();
    ASSERT_TRUE(searchToEnd("x"));
    ASSERT_EQ(delegate->tableData().rows().size(), 4);
    window->tableView->setFocus();
    QTest::keyClick(window->tableView, Qt::Key_Return);
    EXPECT_TRUE(opened.isEmpty()) << "no selection, nothing opened";

    // Sorted by path, then the other way round; the rows that read alike
    // keep the order of their bytes.
    clickHeader(1);
    clickHeader(1);
    const std::vector<std::string> shown = {"c.h", "b.h", "a\xff.h", "a\xfe.h"};
    const auto fileAt = [&](const QUrl &url) {
        return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    };
    for (int row : {2, 3, 0}) {
        clickCell(row);
        QTest::keyClick(window->tableView, Qt::Key_Return);
        ASSERT_FALSE(opened.isEmpty());
        EXPECT_EQ(fileAt(opened.last()), folder + shown[static_cast<std::size_t>(row)]) << "row " << row;
        EXPECT_EQ(access(fileAt(opened.last()).c_str(), R_OK), 0) << "the file opened exists";
    }
    EXPECT_EQ(opened.last(), QUrl::fromLocalFile(sdks + "/MacOSX10.9.sdk/c.h")) << "a UTF-8 name gives a plain file URL";

    const qsizetype before = opened.size();
    QTest::keyClick(window->tableView, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(opened.size(), before) << "the keypad's Enter is the table's";
    clickCell(1, 1);
    const QRect cell = window->tableView->visualRect(delegate->tableData().index(1, 1));
    QTest::mouseDClick(window->tableView->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(opened.size(), before + 1);
    EXPECT_EQ(fileAt(opened.last()), folder + "b.h");
}

TEST_F(ScoutmarkTest, PreferencesRoundTrip)
{
    for (const char *sdk : {"MacOSX10.9.sdk", "MacOSX10.14.sdk", "MacOSX10.13.sdk"})
        QDir().mkpath(sdks + "/" + sdk);
    // The test screen is smaller than the window's first size.
    launch();
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry()));
    QStringList items;
    for (int i = 0; i < window->sdkPopUp->count(); ++i)
        items << window->sdkPopUp->itemText(i);
    EXPECT_EQ(items, (QStringList{"All", "10.9", "10.13", "10.14"}));
    EXPECT_EQ(window->sdkPopUp->currentText(), "10.14");
    EXPECT_FALSE(window->ignoreCommentsCheck->isChecked());
    EXPECT_FALSE(window->caseSensitiveCheck->isChecked());
    EXPECT_EQ(window->searchField->text(), "");
    EXPECT_EQ(window->splitter->widget(0), window->tableView) << "the table above the preview";

    window->searchField->setText("NSString");
    window->sdkPopUp->setCurrentText("All");
    window->sdkPopUp->setItemText(0, "Every SDK"); // as a translation may read
    window->ignoreCommentsCheck->setChecked(true);
    window->resize(window->size() - QSize(30, 20));
    const QSize chosen = window->size();
    const QList<int> sizes = window->splitter->sizes();
    ASSERT_EQ(sizes.size(), 2);
    const QList<int> moved{sizes[0] + 120, sizes[1] - 120};
    window->splitter->setSizes(moved);
    delegate->applicationWillTerminate();
    EXPECT_EQ(QSettings().value("SearchString").toString(), "NSString");
    EXPECT_EQ(QSettings().value("SDKTitle").toString(), "All");
    EXPECT_EQ(QSettings().value("IgnoreComments").toInt(), 1);
    EXPECT_EQ(QSettings().value("CaseSensitive").toInt(), 0);

    launch();
    EXPECT_EQ(window->searchField->text(), "NSString");
    EXPECT_EQ(window->sdkPopUp->currentText(), "All");
    EXPECT_TRUE(window->ignoreCommentsCheck->isChecked());
    EXPECT_FALSE(window->caseSensitiveCheck->isChecked());
    EXPECT_EQ(window->size(), chosen);
    EXPECT_EQ(window->splitter->sizes(), moved);

    QSettings().setValue("SDKTitle", "10.13");
    QDir(sdks + "/MacOSX10.13.sdk").removeRecursively();
    QSettings().setValue("SearchString", "");
    QSettings().setValue("WindowSize", QSize(5000, 4000)); // saved on a larger screen
    launch();
    EXPECT_EQ(window->sdkPopUp->currentText(), "10.14") << "a removed SDK gives way to the newest";
    EXPECT_EQ(window->searchField->text(), "");
    EXPECT_TRUE(available.contains(window->frameGeometry()));

    QDir(sdks).removeRecursively();
    launch();
    EXPECT_EQ(window->sdkPopUp->count(), 1);
    EXPECT_EQ(window->sdkPopUp->currentText(), "All");

    // Written at every start, over whatever was stored.
    QSettings().setValue("NSDisabledDictationMenuItem", false);
    writePlatformDefaults();
    EXPECT_TRUE(QSettings().value("NSDisabledDictationMenuItem").toBool());
    EXPECT_TRUE(QSettings().value("NSDisabledCharacterPaletteMenuItem").toBool());
}

TEST_F(ScoutmarkTest, ControlsAndPreviewReachAssistiveTechnology)
{
    header("MacOSX10.9.sdk/a.h", "// a header\nint x;\nint NSNeedle; /* more */\nNSNeedle\n");
    launch();
    ASSERT_TRUE(searchToEnd("NSNeedle"));
    QAccessibleInterface *sdkLabel = findAccessible(QAccessible::StaticText, "SDK:");
    ASSERT_NE(sdkLabel, nullptr);
    const auto labelled = sdkLabel->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first->role(), QAccessible::ComboBox) << "the pop-up is named by its label";
    // The path column shows the path from the SDK on; the rest has it whole.
    const QString full = sdks + "/MacOSX10.9.sdk/a.h";
    const std::pair<QAccessible::Role, QString> named[] = {
        {QAccessible::EditableText, "Search"}, {QAccessible::CheckBox, "Ignore comments"},
        {QAccessible::CheckBox, "Case sensitive"}, {QAccessible::StaticText, "1 file"},
        {QAccessible::ColumnHeader, "Path"}, {QAccessible::Cell, "a.h"}, {QAccessible::Cell, full},
        {QAccessible::Button, "Next Hit"}, {QAccessible::Button, "Previous Hit"},
    };
    for (const auto &[role, name] : named)
        EXPECT_NE(findAccessible(role, name), nullptr) << qPrintable(name);
    const QModelIndex pathCell = delegate->tableData().index(0, 1);
    EXPECT_EQ(pathCell.data(Qt::DisplayRole).toString(), "MacOSX10.9.sdk/a.h");
    EXPECT_EQ(pathCell.data(Qt::ToolTipRole).toString(), full);
    EXPECT_EQ(pathCell.data(Qt::AccessibleTextRole).toString(), full);

    ASSERT_TRUE(preview(0));
    QAccessibleInterface *preview = findAccessible(QAccessible::EditableText, "Preview");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->state().readOnly);
    QAccessibleTextInterface *text = preview->textInterface();
    ASSERT_NE(text, nullptr);
    int start = 0, end = 0;
    EXPECT_EQ(text->cursorPosition(), 23);
    EXPECT_EQ(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end),
              "int NSNeedle; /* more */\n");
    EXPECT_EQ(text->textAtOffset(text->cursorPosition(), QAccessible::WordBoundary, &start, &end), "NSNeedle");
    EXPECT_EQ(text->textBeforeOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end), "int x;\n");
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(23, 31));

    QAccessibleInterface *counter = findAccessible(QAccessible::StaticText, "Hit 1 of 2");
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->text(QAccessible::Description), "Line 3: int NSNeedle; /* more */");
    QTest::keyClick(window->tableView, Qt::Key_F3);
    EXPECT_EQ(counter->text(QAccessible::Name), "Hit 2 of 2");
    EXPECT_EQ(counter->text(QAccessible::Description), "Line 4: NSNeedle");
    EXPECT_EQ(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end), "NSNeedle\n");
}

TEST_F(ScoutmarkTest, KeyboardLeavesTheTableAndSortsIt)
{
    for (const char *sdk : {"MacOSX10.10.sdk", "MacOSX10.9.sdk"}) {
        for (const char *name : {"b.h", "a.h"})
            header(QString("%1/%2").arg(sdk, name), "x");
    }
    launch();
    EXPECT_TRUE(window->testAttribute(Qt::WA_QuitOnClose));
    window->tableView->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->searchField) << "Find puts the focus in the search field";
    ASSERT_TRUE(searchToEnd("x", "All"));
    window->tableView->setFocus();
    window->tableView->selectRow(0);
    QTest::keyClick(window->tableView, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), window->tableView) << "Tab goes on to the next control";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->tableView);

    // Through the menu bar, as a user without a mouse does.
    const auto viaMenu = [&](Qt::Key item) {
        QTest::keyClick(window->tableView, Qt::Key_V, Qt::AltModifier);
        QWidget *menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr) << "Alt+V opens the View menu";
        QTest::keyClick(menu, item);
    };
    const QString base = sdks + "/";
    const QStringList byPath = {base + "MacOSX10.9.sdk/a.h", base + "MacOSX10.9.sdk/b.h", base + "MacOSX10.10.sdk/a.h",
                                base + "MacOSX10.10.sdk/b.h"};
    viaMenu(Qt::Key_P);
    EXPECT_EQ(column(1), byPath);
    viaMenu(Qt::Key_D);
    EXPECT_EQ(column(1), (QStringList(byPath.rbegin(), byPath.rend())));
    QHeaderView *header = window->tableView->horizontalHeader();
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // The menu shows what a click on a header did.
    header->sectionClicked(0);
    EXPECT_TRUE(window->sortByNameAction->isChecked());
    EXPECT_FALSE(window->sortDescendingAction->isChecked());
    EXPECT_EQ(column(0), (QStringList{"a.h", "a.h", "b.h", "b.h"}));
    EXPECT_EQ(column(1).first(), base + "MacOSX10.10.sdk/a.h") << "ties keep the path order";
}

TEST_F(ScoutmarkTest, OptionsStayInReachAtTheNarrowestWidth)
{
    launch();
    window->resize(1, window->height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == window->minimumSizeHint().width(); }));
    QApplication::processEvents();
    QWidget *const controls[] = {window->searchField, window->sdkPopUp, window->ignoreCommentsCheck,
                                 window->caseSensitiveCheck, window->tableView};
    QList<QRect> placed;
    for (QWidget *control : controls) {
        const QRect rect(control->mapTo(window.get(), QPoint()), control->size());
        EXPECT_TRUE(control->isVisible()) << control->metaObject()->className();
        EXPECT_TRUE(window->rect().contains(rect)) << control->metaObject()->className();
        for (const QRect &other : std::as_const(placed))
            EXPECT_FALSE(rect.intersects(other)) << control->metaObject()->className();
        placed << rect;
    }

    // Mnemonics reach their controls, and none types into the field.
    window->searchField->setText("NSView");
    window->searchField->setFocus();
    QTest::keyClick(window->searchField, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->ignoreCommentsCheck->isChecked(); }));
    window->searchField->setFocus();
    QTest::keyClick(window->searchField, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->sdkPopUp);
    window->searchField->setFocus();
    QTest::keyClick(window->searchField, Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(window->searchField->text(), "NSView");
    delegate->applicationWillTerminate();
    EXPECT_EQ(QSettings().value("SearchString").toString(), "NSView");
}

TEST(ScoutmarkHelpMenu, AboutBoxShowsNameVersionDescriptionAndLicence)
{
    MyWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    expectAboutBoxFromTheHelpMenu(&window, "Scoutmark", APPLICATION_VERSION, APPLICATION_SUMMARY);
}

TEST(ResultsModel, LaterDescriptorsBreakTheTiesOfEarlierOnes)
{
    ResultsModel model;
    model.replaceRows({{"b.h", "/s/MacOSX10.9.sdk/b.h"},
                       {"a.h", "/s/MacOSX10.9.sdk/a.h"},
                       {"b.h", "/s/MacOSX10.10.sdk/b.h"},
                       {"a.h", "/s/MacOSX10.10.sdk/a.h"}});
    model.sortUsingDescriptors({{"Name", true}, {"Path", false}});
    QStringList paths;
    for (const ResultRow &row : model.rows())
        paths << row.displayPath();
    EXPECT_EQ(paths, (QStringList{"/s/MacOSX10.10.sdk/a.h", "/s/MacOSX10.9.sdk/a.h", "/s/MacOSX10.10.sdk/b.h",
                                  "/s/MacOSX10.9.sdk/b.h"}));
}

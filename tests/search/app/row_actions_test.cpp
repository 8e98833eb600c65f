#include "window_fixture.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QMenu>

#include <sys/stat.h>

namespace {

// The desktop's services, played on a connection of their own to the test
// bus, so that the calls travel as they would to a real desktop.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shown;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { shown << uris; }
};

class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.OpenURI")

public:
    struct Call {
        ino_t inode;
        bool ask;
    };
    QList<Call> calls;

public slots:
    QDBusObjectPath OpenFile(const QString &, const QDBusUnixFileDescriptor &file, const QVariantMap &options)
    {
        struct stat status {};
        fstat(file.fileDescriptor(), &status);
        calls << Call{status.st_ino, options.value(QStringLiteral("ask")).toBool()};
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/1"));
    }
};

class RowActionsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char *name : {"b.h", "a.h", "c.h"})
            header(QString("MacOSX10.9.sdk/usr/include/") + name, "int x;");
    }

    // The window launched, its three rows in name order, the first and the
    // last selected.
    void launchAndSelectFirstAndLast()
    {
        launch();
        ASSERT_TRUE(searchToEnd("x"));
        window->tableView->horizontalHeader()->sectionClicked(0);
        window->tableView->setFocus();
        clickCell(0, 0, Qt::ControlModifier);
        clickCell(2, 0, Qt::ControlModifier);
        ASSERT_EQ(window->tableView->selectionModel()->selectedRows().size(), 2);
    }

    QString path(const char *name) const { return sdks + "/MacOSX10.9.sdk/usr/include/" + name; }

    // The row's context menu, as a right click opens it.
    QMenu *openContextMenu(int row)
    {
        const QRect cell = window->tableView->visualRect(delegate->tableData().index(row, 1));
        emit window->tableView->customContextMenuRequested(cell.center());
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }
};

QStringList textsOf(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

} // namespace

TEST_F(RowActionsTest, CopyAndDragTakeEverySelectedRow)
{
    launchAndSelectFirstAndLast();
    QTest::keyClick(window->tableView, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(window->tableView, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(copied, (QStringList{path("a.h") + "\n" + path("c.h"), "a.h\nc.h"}));

    // Dragged out, the rows are their files, one URL each.
    ASSERT_TRUE(window->tableView->dragEnabled());
    const std::unique_ptr<QMimeData> dragged(
        delegate->tableData().mimeData(window->tableView->selectionModel()->selectedIndexes()));
    EXPECT_EQ(dragged->urls(), (QList<QUrl>{QUrl::fromLocalFile(path("a.h")), QUrl::fromLocalFile(path("c.h"))}));
    EXPECT_EQ(delegate->tableData().supportedDragActions(), Qt::CopyAction);

    // The menu is about the row clicked, which becomes the selection.
    QMenu *menu = openContextMenu(1);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(textsOf(menu), (QStringList{"&Open", "-", "Show in &Files", "-", "Copy &Path", "Copy &Name"}))
        << "no Open With… without a chooser";
    EXPECT_EQ(window->tableView->selectionModel()->selectedRows().size(), 1);
    menu->actions().at(5)->trigger();
    menu->close();
    EXPECT_EQ(copied.last(), "b.h");

    menu = openContextMenu(1);
    ASSERT_NE(menu, nullptr);
    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(path("b.h"))}) << "Open opens as a double click does";
}

TEST_F(RowActionsTest, ShowInFilesAndOpenWithGoThroughTheDesktop)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desktop");
    FakeFileManager fileManager;
    FakePortal portal;
    ASSERT_TRUE(desktop.registerObject("/org/freedesktop/FileManager1", &fileManager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(desktop.registerObject("/org/freedesktop/portal/desktop", &portal, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.FileManager1"));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.portal.Desktop"));
    launchAndSelectFirstAndLast();

    QTest::keyClick(window->tableView, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fileManager.shown.isEmpty(); }, 10000));
    EXPECT_EQ(fileManager.shown, (QList<QStringList>{{QUrl::fromLocalFile(path("a.h")).toString(QUrl::FullyEncoded),
                                                      QUrl::fromLocalFile(path("c.h")).toString(QUrl::FullyEncoded)}}));
    EXPECT_TRUE(opened.isEmpty());

    // Open With: of several rows, the one selected last, as Open takes it;
    // the portal asks which application.
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->rowActions().openWithAction->isEnabled(); }, 10000));
    QTest::keyClick(window->tableView, Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !portal.calls.isEmpty(); }, 10000));
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(path("c.h")).constData(), &status), 0);
    EXPECT_EQ(portal.calls.first().inode, status.st_ino);
    EXPECT_TRUE(portal.calls.first().ask);

    // Where no file manager answers, the folder opens.
    delegate->rowActions().fileManagerService = "org.scoutmark.test.NoFileManager";
    QTest::keyClick(window->tableView, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }, 30000));
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(sdks + "/MacOSX10.9.sdk/usr/include")});
    EXPECT_EQ(fileManager.shown.size(), 1);
    QMenu *menu = openContextMenu(0);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(textsOf(menu).mid(0, 2), (QStringList{"&Open", "Open &With…"}));
    menu->close();

    desktop.unregisterService("org.freedesktop.FileManager1");
    desktop.unregisterService("org.freedesktop.portal.Desktop");
    QDBusConnection::disconnectFromBus("desktop");
}

#include "row_actions_test.moc"

// The folder and file dialog as a user meets it: what its accept button
// says and what pressing it does.

#include "open_panel.h"
#include "qt_printers.h"
#include "tree_snapshot.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// As the window asks for them.
OpenPanel panelFor(bool import)
{
    OpenPanel panel;
    panel.prompt = "Choose";
    panel.canChooseFiles = import;
    panel.canChooseDirectories = true;
    panel.canCreateDirectories = !import;
    panel.allowsMultipleSelection = import;
    panel.allowedFileTypes = import ? QStringList{"sdk"} : QStringList();
    return panel;
}

const OpenPanel exportPanel = panelFor(false);
const OpenPanel importPanel = panelFor(true);

class OpenPanelTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString f = root.filePath("F");
    QWidget window;
    int response = -1;
    QList<QUrl> chosen;

    void SetUp() override
    {
        for (const char *folder : {"A.sdk", "plain"})
            QDir().mkpath(f + '/' + folder);
        writeFile((f + "/b.sdk").toStdString(), "");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // In folder F, or with no folder given, where the dialog puts it.
    void open(OpenPanel panel, bool inF = true)
    {
        if (inF)
            panel.directoryURL = QUrl::fromLocalFile(f);
        beginSheetModalForWindow(panel, &window, [this](int r, const QList<QUrl> &urls) {
            response = r;
            chosen = urls;
        });
        ASSERT_NE(dialog(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog()));
        dialog()->setViewMode(QFileDialog::List);
    }

    QFileDialog *dialog() const { return window.findChild<QFileDialog *>(); }
    QPushButton *acceptButton() const { return dialog()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open); }
    QLineEdit *nameField() const { return dialog()->findChild<QLineEdit *>("fileNameEdit"); }
    QListView *list() const { return dialog()->findChild<QListView *>("listView"); }

    // As the platform sends a double click: a click, then the second press
    // as a double click, then its release.
    void doubleClick(const QString &name)
    {
        const QPoint item = itemPosition(name);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, item);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, item);
        QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, item);
    }

    // Where the item named so is drawn, once the dialog has read its folder.
    QPoint itemPosition(const QString &name)
    {
        QModelIndexList items;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const QModelIndex first = list()->model()->index(0, 0, list()->rootIndex());
            items = list()->model()->match(first, Qt::DisplayRole, name, 1, Qt::MatchExactly);
            return !items.isEmpty();
        })) << name.toStdString();
        return items.isEmpty() ? QPoint() : list()->visualRect(items.first()).center();
    }
};

} // namespace

TEST_F(OpenPanelTest, ImportDialogSaysChooseAndChoosesFoldersAndFiles)
{
    open(importPanel);
    EXPECT_EQ(acceptButton()->text(), "Choose");

    QTest::mouseClick(nameField(), Qt::LeftButton);
    QTest::keyClicks(nameField(), "plain");
    EXPECT_EQ(acceptButton()->text(), "Choose") << "a typed folder";
    nameField()->clear();

    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, itemPosition("A.sdk"));
    EXPECT_EQ(acceptButton()->text(), "Choose") << "a selected folder";
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, itemPosition("b.sdk"));
    EXPECT_EQ(acceptButton()->text(), "Choose") << "a folder and a file";

    QTest::mouseClick(acceptButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return response != -1; }));
    EXPECT_EQ(response, 1);
    std::sort(chosen.begin(), chosen.end());
    EXPECT_EQ(chosen, (QList<QUrl>{QUrl::fromLocalFile(f + "/A.sdk"), QUrl::fromLocalFile(f + "/b.sdk")}));
}

TEST_F(OpenPanelTest, DoubleClickOpensAFolderAndATypedFolderIsChosen)
{
    open(importPanel);
    doubleClick("plain");
    EXPECT_EQ(QDir(dialog()->directory()).absolutePath(), f + "/plain");
    EXPECT_EQ(response, -1) << "still open";
    EXPECT_EQ(acceptButton()->text(), "Choose");

    QTest::mouseClick(nameField(), Qt::LeftButton);
    QTest::keyClicks(nameField(), f + "/A.sdk");
    QTest::keyClick(nameField(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return response != -1; }));
    EXPECT_EQ(response, 1);
    EXPECT_EQ(chosen, QList<QUrl>{QUrl::fromLocalFile(f + "/A.sdk")});
}

TEST_F(OpenPanelTest, ExportDialogChoosesAFolder)
{
    open(exportPanel);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, itemPosition("plain"));
    EXPECT_EQ(acceptButton()->text(), "Choose");
    QTest::mouseClick(acceptButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return response != -1; }));
    EXPECT_EQ(response, 1);
    EXPECT_EQ(chosen, QList<QUrl>{QUrl::fromLocalFile(f + "/plain")});
}

// An SDK is one item to the user: in the import dialog a double click
// chooses it; the export dialog, which chooses where to put SDKs, opens it.
TEST_F(OpenPanelTest, DoubleClickOnAnSdkFolderChoosesItWhenImporting)
{
    open(importPanel);
    doubleClick("A.sdk");
    ASSERT_TRUE(QTest::qWaitFor([&] { return response != -1; }));
    EXPECT_EQ(response, 1);
    EXPECT_EQ(chosen, QList<QUrl>{QUrl::fromLocalFile(f + "/A.sdk")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog(); }));

    response = -1;
    open(exportPanel);
    doubleClick("A.sdk");
    EXPECT_EQ(QDir(dialog()->directory()).absolutePath(), f + "/A.sdk");
    EXPECT_EQ(response, -1) << "still open";
    dialog()->reject();
}

// With no folder remembered, either dialog opens at home. At scale 2 the
// dialog's own size would leave its buttons off the screen.
TEST_F(OpenPanelTest, DialogsOpenAtHomeWithinTheScreen)
{
    for (const OpenPanel &panel : {exportPanel, importPanel}) {
        open(panel, false);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog()));
        EXPECT_EQ(QDir(dialog()->directory()).absolutePath(), QDir::homePath());
        const QRect screen = dialog()->screen()->availableGeometry();
        EXPECT_LE(dialog()->frameGeometry().width(), screen.width());
        EXPECT_LE(dialog()->frameGeometry().height(), screen.height());
        dialog()->reject();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog(); }));
    }
}

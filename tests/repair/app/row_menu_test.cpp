// Every row's menu: its button's repair and the single export, reachable
// without holding a modifier key.

#include "tarnwick_fixture.h"

namespace {

// Each item as it reads, with "(off)" for one that cannot be chosen.
QStringList itemsOf(const QMenu *menu)
{
    QStringList items;
    for (const QAction *action : menu->actions())
        items << QString(action->text()).remove('&') + (action->isEnabled() ? "" : " (off)");
    return items;
}

} // namespace

TEST_F(TarnwickTest, RowMenusFollowTheRulesOfTheRowButton)
{
    const struct {
        const char *what;
        QStringList sdks;
        bool exporting;
        std::map<QString, QStringList> menus;
    } cases[] = {
        {"10.6 present",
         {"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk"},
         false,
         {{"MacOSX10.6.sdk", {"Export…"}},
          {"MacOSX10.8.sdk", {"Fix", "Export…"}},
          {"MacOSX10.9.sdk", {"Restore", "Export…"}},
          {"MacOSX10.14.sdk", {"Export…"}}}},
        {"10.6 missing",
         {"MacOSX10.8.sdk", "MacOSX10.14.sdk"},
         false,
         {{"MacOSX10.8.sdk", {"Fix (off)", "Export…"}}, {"MacOSX10.14.sdk", {"Export…"}}}},
        {"an export under way",
         {"MacOSX10.6.sdk", "MacOSX10.9.sdk"},
         true,
         {{"MacOSX10.6.sdk", {"Export… (off)"}}, {"MacOSX10.9.sdk", {"Restore (off)", "Export… (off)"}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(sdks).removeRecursively();
        launch(c.sdks, {"MacOSX10.9.sdk"});
        if (delegate->missing10_6Sheet())
            dismiss(delegate->missing10_6Sheet());
        if (c.exporting) {
            exportAll(elsewhere);
            dismiss(delegate->alertSheet());
        }
        for (const auto &[sdk, items] : c.menus) {
            rowView(sdk)->setFocus();
            QMenu *menu = openMenuOfFocus();
            ASSERT_NE(menu, nullptr) << sdk.toStdString();
            EXPECT_EQ(itemsOf(menu), items) << sdk.toStdString();
            menu->close();
        }
    }
}

TEST_F(TarnwickTest, RowMenuFixesAndExportsWithoutAModifierKey)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.14.sdk"});

    // Shift+F10 on a row's button opens its row's menu; F fixes.
    rowButton("MacOSX10.8.sdk")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    QMenu *menu = waitForMenu();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_F);
    QCoreApplication::processEvents(); // the administrator dialog's answer
    giveTheKeyboardBack();
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0][0], "Move");
    EXPECT_TRUE(runner.calls[0][1].contains("MacOSX10.8.sdk"));

    // A row without a button exports from its menu.
    rowView("MacOSX10.14.sdk")->setFocus();
    menu = openMenuOfFocus();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_E);
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels[0].message, "Choose directory to export \"MacOSX10.14.sdk\"");
    choose({root.path()});
    ASSERT_EQ(runner.calls.size(), 2);
    EXPECT_EQ(runner.calls[1], (QStringList{"Copy", sdks + "/MacOSX10.14.sdk", root.filePath("MacOSX10.14.sdk")}));
}

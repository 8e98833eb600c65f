#include "tarnwick_fixture.h"

#include "dimmed_text.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QHelpEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace {

// Light text on dark bases, as dark desktop themes give it; the
// placeholder colour stays at Qt's default, black at half strength.
QPalette darkPalette()
{
    QPalette palette(QColor(0x31, 0x36, 0x3b), QColor(0x2a, 0x2e, 0x32));
    palette.setColor(QPalette::WindowText, QColor(0xfc, 0xfc, 0xfc));
    palette.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
    palette.setColor(QPalette::AlternateBase, QColor(0x23, 0x26, 0x29));
    palette.setColor(QPalette::Text, QColor(0xfc, 0xfc, 0xfc));
    palette.setColor(QPalette::ButtonText, QColor(0xfc, 0xfc, 0xfc));
    return palette;
}

QLabel *hintOf(const Window &window)
{
    for (QLabel *label : window.findChildren<QLabel *>())
        if (label->text().startsWith("Hold Alt"))
            return label;
    return nullptr;
}

// The first node at or below node with that role and name.
QAccessibleInterface *findAccessible(QAccessibleInterface *node, QAccessible::Role role, const QString &name)
{
    if (node->role() == role && node->text(QAccessible::Name) == name)
        return node;
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface *found = findAccessible(node->child(i), role, name))
            return found;
    return nullptr;
}

const QStringList allSdks{"MacOSX10.6.sdk", "MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk",
                          "MacOSX10.14.sdk", "MacOSX11.1.sdk"};

} // namespace

TEST_F(TarnwickTest, RowsFollowTheRowTable)
{
    launch(allSdks, {"MacOSX10.9.sdk", "MacOSX10.14.sdk"});
    ASSERT_EQ(window->sdkTable->numberOfRows(), 6);
    // No title: outside the fixable range, with no button and dimmed text.
    const std::map<QString, const char *> titles{
        {"MacOSX10.7.sdk", "Fix"},  {"MacOSX10.9.sdk", "Restore"}, {"MacOSX10.13.sdk", "Fix"},
        {"MacOSX10.6.sdk", nullptr}, {"MacOSX10.14.sdk", nullptr},  {"MacOSX11.1.sdk", nullptr},
    };
    for (const auto &[sdk, title] : titles) {
        SCOPED_TRACE(sdk.toStdString());
        const RowState state = rowState(sdk);
        if (title) {
            EXPECT_EQ(state.title, title);
        }
        EXPECT_EQ(state.hidden, !title);
        EXPECT_TRUE(state.enabled);
        EXPECT_EQ(state.dimmed, !title);
    }

    // Only a change of the Alt key reloads the table.
    const int reloads = window->sdkTable->reloadCount();
    sendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    sendKey(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads);
    pressAlt(true);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads + 1);
    EXPECT_TRUE(window->altKeyDown());
    sendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::AltModifier | Qt::ShiftModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::AltModifier);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads + 1) << "Shift with Alt still down";

    // Alt held: every row exports, in normal text, whatever its minor number.
    for (const QString &sdk : allSdks) {
        const RowState state = rowState(sdk);
        EXPECT_EQ(state.title, "Export") << sdk.toStdString();
        EXPECT_FALSE(state.hidden);
        EXPECT_TRUE(state.enabled);
        EXPECT_FALSE(state.dimmed);
    }
    pressAlt(false);
    EXPECT_EQ(window->sdkTable->reloadCount(), reloads + 2);
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore");
    EXPECT_TRUE(rowState("MacOSX10.14.sdk").hidden);

    // An export or import running: every button off, titles kept, text normal.
    exportAll(elsewhere);
    ASSERT_TRUE(delegate->importExportInProgress());
    pressAlt(true);
    for (const QString &sdk : allSdks) {
        const RowState state = rowState(sdk);
        EXPECT_FALSE(state.enabled) << sdk.toStdString();
        EXPECT_FALSE(state.dimmed) << sdk.toStdString();
    }
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore") << "title left as it was";
    EXPECT_TRUE(rowState("MacOSX10.14.sdk").hidden) << "hidden left as it was";
}

// Alt+Tab: the window sees Alt go down but not up, since by then another
// window has the keyboard; back in the window, Alt must not count as held.
TEST_F(TarnwickTest, AltLetGoInAnotherWindowIsNoLongerHeld)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk"});
    pressAlt(true);
    ASSERT_EQ(rowState("MacOSX10.8.sdk").title, "Export");
    altInAnotherWindow(false);
    EXPECT_FALSE(window->altKeyDown());
    EXPECT_EQ(rowState("MacOSX10.8.sdk").title, "Fix");
    click(rowButton("MacOSX10.8.sdk"));
    EXPECT_TRUE(panels.isEmpty()) << "a click fixes, it does not export";
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0][0], "Move");

    // Held down elsewhere and still held on the way back.
    altInAnotherWindow(true);
    EXPECT_EQ(rowState("MacOSX10.8.sdk").title, "Export");
    pressAlt(false);
}

TEST_F(TarnwickTest, MainButtonsFollowTheMainButtonTable)
{
    const struct {
        QStringList sdks, fixed;
        bool inProgress;
        bool fixAll, restoreAll, exportAll, import;
    } cases[] = {
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk"}, {}, true, false, false, false, false},
        {{}, {}, false, false, false, false, true}, // nothing to export
        {{"MacOSX10.8.sdk"}, {}, false, false, false, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {"MacOSX10.8.sdk", "MacOSX10.9.sdk"}, false, false, true, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.14.sdk"}, {}, false, false, true, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {}, false, true, false, true, true},
        {{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {"MacOSX10.9.sdk"}, false, true, true, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sdks.join(' ').toStdString() + " fixed: " + c.fixed.join(' ').toStdString());
        QDir(sdks).removeRecursively();
        launch(c.sdks, c.fixed);
        if (c.inProgress)
            exportAll(elsewhere);
        // The buttons are set again at every end of a tool; Alt plays no part.
        for (bool alt : {false, true}) {
            pressAlt(alt);
            if (!c.inProgress)
                runner.finish(0);
            EXPECT_EQ(window->fixAllButton->isEnabled(), c.fixAll);
            EXPECT_EQ(window->restoreAllButton->isEnabled(), c.restoreAll);
            EXPECT_EQ(window->exportAllButton->isEnabled(), c.exportAll);
            EXPECT_EQ(window->importButton->isEnabled(), c.import);
        }
        pressAlt(false);
    }
}

// Normal text is the palette's; dimmed text stands back from it; both read
// (4.5:1) on the rows' backgrounds, in the light default palette and in a
// dark one switched to while the window is open.
TEST_F(TarnwickTest, RowTextReadsInLightAndDarkPalettes)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk"});
    const QPalette original = QApplication::palette();
    launch();
    for (const QPalette &palette : {QApplication::style()->standardPalette(), darkPalette()}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QCoreApplication::processEvents(); // the window's share of it is posted
        for (int row = 0; row < window->sdkTable->numberOfRows(); ++row) {
            const TableCellView *view = window->sdkTable->viewAtRow(row);
            SCOPED_TRACE(view->textField()->text().toStdString());
            const QColor text = view->textField()->palette().color(view->textField()->foregroundRole());
            const QColor background = view->palette().color(view->backgroundRole());
            EXPECT_EQ(view->isDimmed(), row == 0 || row == 3) << "outside the fixable range";
            EXPECT_GE(contrastRatio(text, background), 4.5);
            if (view->isDimmed()) {
                EXPECT_LT(contrastRatio(text, background), contrastRatio(palette.color(QPalette::Text), background));
            } else {
                EXPECT_EQ(text, palette.color(QPalette::Text));
            }
        }
        const QLabel *hint = hintOf(*window);
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->isEnabled());
        EXPECT_GE(contrastRatio(hint->palette().color(hint->foregroundRole()), palette.color(QPalette::Window)), 4.5);
    }
    QApplication::setPalette(original);
}

TEST_F(TarnwickTest, LongNamesShortenAndEveryButtonStaysInView)
{
    const QString longName = "MacOSX10.9-with-a-name-far-too-long-for-a-window-four-hundred-pixels-wide.sdk";
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", longName, "MacOSX10.13.sdk", "MacOSX10.14.sdk"});
    window->resize(400, 440);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == 400; })) << "the window can be this narrow";
    QCoreApplication::processEvents();

    const QWidget *viewport = window->sdkTable->viewport();
    int column = -1;
    for (const QString &sdk : {QString("MacOSX10.8.sdk"), QString("MacOSX10.13.sdk"), longName}) {
        const QPushButton *button = rowButton(sdk);
        const QRect place(button->mapTo(viewport, QPoint(0, 0)), button->size());
        EXPECT_TRUE(viewport->rect().contains(place)) << sdk.toStdString();
        EXPECT_TRUE(button->isVisible()) << sdk.toStdString();
        if (column >= 0) {
            EXPECT_EQ(place.x(), column) << "one column of buttons";
        }
        column = place.x();
    }

    ElidedLabel *label = rowView(longName)->textField();
    EXPECT_TRUE(label->isElided());
    EXPECT_FALSE(rowView("MacOSX10.8.sdk")->textField()->isElided());
    EXPECT_EQ(label->text(), longName);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(rowView(longName))->text(QAccessible::Name), longName);
    QHelpEvent tip(QEvent::ToolTip, label->rect().center(), label->mapToGlobal(label->rect().center()));
    QApplication::sendEvent(label, &tip);
    EXPECT_EQ(QToolTip::text(), longName);
    QToolTip::hideText();

    // Tabbing through every control never moves the list sideways.
    for (int stop = 0; stop < 12; ++stop) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(window->sdkTable->horizontalScrollBar()->value(), 0);
    }
}

TEST_F(TarnwickTest, RowsReachAssistiveTechnologyAsAList)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"}, {"MacOSX10.9.sdk"});
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window.get());
    QAccessibleInterface *list = findAccessible(top, QAccessible::List, "SDKs");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->childCount(), 3) << "one item per SDK, nothing else";
    const QStringList names{"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"};
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface *item = list->child(i);
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(item->text(QAccessible::Name), names[i]);
        EXPECT_EQ(item->parent(), list);
        EXPECT_EQ(list->indexOfChild(item), i);
    }
    // Only the row outside the fixable range says why it has no button.
    EXPECT_TRUE(list->child(0)->text(QAccessible::Description).contains("10.7 to 10.13"));
    EXPECT_EQ(list->child(1)->text(QAccessible::Description), "");

    // Each button says what it does to which SDK, and does it.
    EXPECT_NE(findAccessible(list->child(2), QAccessible::Button, "Restore MacOSX10.9.sdk"), nullptr);
    QAccessibleInterface *fix = findAccessible(list->child(1), QAccessible::Button, "Fix MacOSX10.8.sdk");
    ASSERT_NE(fix, nullptr);
    EXPECT_FALSE(fix->state().disabled);
    fix->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.calls.size() == 1; }));
    EXPECT_TRUE(runner.calls[0][1].contains("MacOSX10.8.sdk"));
    pressAlt(true);
    EXPECT_NE(findAccessible(list->child(0), QAccessible::Button, "Export MacOSX10.6.sdk"), nullptr);
    pressAlt(false);

    // The hint is text to read, not a control that is off.
    QAccessibleInterface *hint = QAccessible::queryAccessibleInterface(hintOf(*window));
    EXPECT_EQ(hint->role(), QAccessible::StaticText);
    EXPECT_FALSE(hint->state().disabled);
    EXPECT_NE(findAccessible(top, QAccessible::Button, "Fix All"), nullptr);
}

#include "tarnwick_fixture.h"

#include <QRegularExpression>

// Alt+H opens the Help menu and A chooses its item, as from the keyboard;
// Control+Q closes the window.
TEST_F(TarnwickTest, AboutBoxFromTheHelpMenu)
{
    launch({"MacOSX10.6.sdk"});
    QTest::keyClick(window.get(), Qt::Key_H, Qt::AltModifier);
    QMenu *help = waitForMenu();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->title(), "&Help");
    QTest::keyClick(help, Qt::Key_A);

    QPointer<QMessageBox> box;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (box = window->findChild<QMessageBox *>()) && box->isVisible(); }));
    EXPECT_EQ(box->windowTitle(), "About Tarnwick");
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->parentWidget(), window.get());
    const QString text = box->text() + "\n" + box->informativeText();
    EXPECT_TRUE(text.contains("<b>Tarnwick</b>")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Version \\d+\\.\\d+\\.\\d+"))) << text.toStdString();
    EXPECT_TRUE(text.contains("Version " APPLICATION_VERSION)) << text.toStdString();
    EXPECT_TRUE(text.contains(APPLICATION_SUMMARY ".")) << text.toStdString();
    EXPECT_TRUE(text.contains("MIT License")) << text.toStdString();

    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); })) << "a dismissed box is deleted";

    // Control+Q quits by closing the window.
    giveTheKeyboardBack();
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->testAttribute(Qt::WA_QuitOnClose));
}

#include "about_box_check.h"
#include "tarnwick_fixture.h"

// The About box from the keyboard; Control+Q closes the window.
TEST_F(TarnwickTest, AboutBoxFromTheHelpMenu)
{
    launch({"MacOSX10.6.sdk"});
    expectAboutBoxFromTheHelpMenu(window.get(), "Tarnwick", APPLICATION_VERSION, APPLICATION_SUMMARY);

    // Control+Q quits by closing the window.
    giveTheKeyboardBack();
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->testAttribute(Qt::WA_QuitOnClose));
}

// Scoutmark for a user who reads German: the shipped translation loads, the
// counts take their German forms, and "All" in German still searches every
// SDK. Run with the environment of a German desktop (see CMakeLists.txt).

#include "install_translators.h"
#include "window_fixture.h"

namespace {

class GermanTest : public WindowTest
{
protected:
    static void SetUpTestSuite() { installTranslators(); }
};

} // namespace

TEST_F(GermanTest, WindowSpeaksGerman)
{
    header("MacOSX10.9.sdk/usr/include/a.h", "int NSNeedle;");
    header("MacOSX10.13.sdk/usr/include/b.h", "int NSNeedle;");
    header("MacOSX10.13.sdk/System/Library/Frameworks/Python.framework/Headers/object.h", "#define Py_INCREF(op)");
    launch();
    EXPECT_EQ(window->searchField->placeholderText(), "Header durchsuchen");
    EXPECT_EQ(window->caseSensitiveCheck->text(), "&Groß-/Kleinschreibung beachten");
    EXPECT_EQ(window->tableView->model()->headerData(1, Qt::Horizontal), "Pfad");
    EXPECT_EQ(window->sdkPopUp->itemText(0), "Alle");

    const struct {
        int sdk; // in the pop-up
        const char *search;
        const char *count;
        const char *emptyText;
    } cases[] = {
        {0, "NSNeedle", "2 Dateien", ""},
        {2, "NSNeedle", "1 Datei", ""},
        {0, "Py_INCREF", "0 Dateien",
         "Kein Header in irgendeinem SDK enthält „Py_INCREF“.\n"
         "Die Frameworks Python, Ruby, RubyCocoa, Tcl und Tk werden nicht durchsucht."},
    };
    for (const auto &c : cases) {
        window->sdkPopUp->setCurrentIndex(c.sdk);
        ASSERT_TRUE(searchToEnd(c.search));
        EXPECT_EQ(window->fileCountLabel->text(), QString::fromUtf8(c.count)) << c.search;
        EXPECT_EQ(window->tableView->emptyText(), QString::fromUtf8(c.emptyText)) << c.search;
    }
    window->sdkPopUp->setCurrentIndex(0);
    delegate->savePrefs();
    EXPECT_EQ(QSettings().value("SDKTitle").toString(), "All") << "the settings keep the title, not the words";
}

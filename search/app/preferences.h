#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class MyWindow;

// Scoutmark's preferences: the search settings, restored at launch and
// written at quit, with the window's size and the preview's share of it.
class Preferences
{
    Q_DECLARE_TR_FUNCTIONS(Preferences)

public:
    explicit Preferences(MyWindow *window);

    // The title that asks for every SDK, in a search request and in the
    // saved settings. Its pop-up item carries no OS number, as the others do.
    static inline const QString allSdksTitle = QStringLiteral("All");

    // Fills the SDK pop-up with "All" and sdkNums, then restores the controls.
    void loadPrefs(const QStringList &sdkNums);
    void savePrefs();
    // Before the window shows, so that it opens at its size.
    void restoreWindowSize();

    // What the pop-up's selected item asks for: "All" or an OS number.
    QString selectedSdkTitle() const;

private:
    MyWindow *m_window;
};

// Written at every start, before the window: the platform adds no dictation
// or character-palette items to the Edit menu.
void writePlatformDefaults();

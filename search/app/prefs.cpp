// Scoutmark's preferences: the search settings, restored at launch and
// written at quit.

#include "app_delegate.h"

#include "my_window.h"

#include "sdk_discovery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QSplitter>

void AppDelegate::loadPrefs()
{
    QSettings settings;
    if (settings.contains(QStringLiteral("SearchString")))
        searchField->setText(settings.value(QStringLiteral("SearchString")).toString());

    sdkNums.clear();
    for (const std::string &num : sortedSDKNums(QFile::encodeName(m_sdkDirectory).toStdString()))
        sdkNums << QString::fromStdString(num);

    sdkPopUp->clear();
    // The item with no OS number is "All", whatever the words shown.
    sdkPopUp->addItem(tr("All"));
    for (const QString &num : std::as_const(sdkNums))
        sdkPopUp->addItem(num, num);

    // A saved title that is no longer installed gives way to the newest SDK;
    // with no SDK at all, "All" stays selected.
    const QString saved = settings.value(QStringLiteral("SDKTitle")).toString();
    int index = sdkPopUp->count() - 1;
    if (settings.contains(QStringLiteral("SDKTitle"))) {
        const int found = saved == allSdksTitle ? 0 : sdkPopUp->findData(saved);
        if (found >= 0)
            index = found;
    }
    sdkPopUp->setCurrentIndex(index);

    const auto state = [&](const QString &key) {
        return settings.value(key, 0).toInt() == 1 ? Qt::Checked : Qt::Unchecked;
    };
    ignoreCommentsCheck->setCheckState(state(QStringLiteral("IgnoreComments")));
    caseSensitiveCheck->setCheckState(state(QStringLiteral("CaseSensitive")));
    window->splitter->restoreState(settings.value(QStringLiteral("PreviewSplitter")).toByteArray());
}

QString AppDelegate::selectedSdkTitle() const
{
    const QVariant num = sdkPopUp->currentData();
    return num.isValid() ? num.toString() : allSdksTitle;
}

void AppDelegate::savePrefs()
{
    QSettings settings;
    settings.setValue(QStringLiteral("SearchString"), searchField->text());
    settings.setValue(QStringLiteral("SDKTitle"), selectedSdkTitle());
    settings.setValue(QStringLiteral("IgnoreComments"), ignoreCommentsCheck->checkState() == Qt::Checked ? 1 : 0);
    settings.setValue(QStringLiteral("CaseSensitive"), caseSensitiveCheck->checkState() == Qt::Checked ? 1 : 0);
    settings.setValue(QStringLiteral("PreviewSplitter"), window->splitter->saveState());
    const bool maximized = window->isMaximized();
    settings.setValue(QStringLiteral("WindowSize"), maximized ? window->normalGeometry().size() : window->size());
    settings.setValue(QStringLiteral("WindowMaximized"), maximized);
    settings.sync();
}

// Before the window shows, so that it opens at its size; a size saved on a
// larger screen shrinks to this one.
void AppDelegate::restoreWindowSize()
{
    QSettings settings;
    const QSize saved = settings.value(QStringLiteral("WindowSize")).toSize();
    if (saved.isValid())
        window->resizeWithinScreen(saved);
    if (settings.value(QStringLiteral("WindowMaximized")).toBool())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void writePlatformDefaults()
{
    QSettings settings;
    settings.setValue(QStringLiteral("NSDisabledDictationMenuItem"), true);
    settings.setValue(QStringLiteral("NSDisabledCharacterPaletteMenuItem"), true);
}

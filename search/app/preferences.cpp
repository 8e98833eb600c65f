#include "preferences.h"

#include "my_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSplitter>

Preferences::Preferences(MyWindow *window)
    : m_window(window)
{
}

void Preferences::loadPrefs(const QStringList &sdkNums)
{
    QSettings settings;
    if (settings.contains(QStringLiteral("SearchString")))
        m_window->searchField->setText(settings.value(QStringLiteral("SearchString")).toString());

    QComboBox *sdkPopUp = m_window->sdkPopUp;
    sdkPopUp->clear();
    // The item with no OS number is "All", whatever the words shown.
    sdkPopUp->addItem(tr("All"));
    for (const QString &num : sdkNums)
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
    m_window->ignoreCommentsCheck->setCheckState(state(QStringLiteral("IgnoreComments")));
    m_window->caseSensitiveCheck->setCheckState(state(QStringLiteral("CaseSensitive")));
    m_window->splitter->restoreState(settings.value(QStringLiteral("PreviewSplitter")).toByteArray());
}

QString Preferences::selectedSdkTitle() const
{
    const QVariant num = m_window->sdkPopUp->currentData();
    return num.isValid() ? num.toString() : allSdksTitle;
}

void Preferences::savePrefs()
{
    QSettings settings;
    settings.setValue(QStringLiteral("SearchString"), m_window->searchField->text());
    settings.setValue(QStringLiteral("SDKTitle"), selectedSdkTitle());
    settings.setValue(QStringLiteral("IgnoreComments"), m_window->ignoreCommentsCheck->checkState() == Qt::Checked ? 1 : 0);
    settings.setValue(QStringLiteral("CaseSensitive"), m_window->caseSensitiveCheck->checkState() == Qt::Checked ? 1 : 0);
    settings.setValue(QStringLiteral("PreviewSplitter"), m_window->splitter->saveState());
    const bool maximized = m_window->isMaximized();
    settings.setValue(QStringLiteral("WindowSize"), maximized ? m_window->normalGeometry().size() : m_window->size());
    settings.setValue(QStringLiteral("WindowMaximized"), maximized);
    settings.sync();
}

// A size saved on a larger screen shrinks to this one.
void Preferences::restoreWindowSize()
{
    QSettings settings;
    const QSize saved = settings.value(QStringLiteral("WindowSize")).toSize();
    if (saved.isValid())
        m_window->resizeWithinScreen(saved);
    if (settings.value(QStringLiteral("WindowMaximized")).toBool())
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

void writePlatformDefaults()
{
    QSettings settings;
    settings.setValue(QStringLiteral("NSDisabledDictationMenuItem"), true);
    settings.setValue(QStringLiteral("NSDisabledCharacterPaletteMenuItem"), true);
}

#include "preferences.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString lastImportExportDirKey = QStringLiteral("LastImportExportDirURL");

} // namespace

void Preferences::prefsLoad()
{
    const QByteArray bookmark = QSettings().value(lastImportExportDirKey).toByteArray();
    if (bookmark.isEmpty())
        return;
    const QString path = QString::fromUtf8(bookmark);
    m_lastImportExportDirURL = QFileInfo::exists(path) ? QUrl::fromLocalFile(path) : QUrl();
}

void Preferences::prefsSave()
{
    prefsSetLastImportExportDirectory();
}

void Preferences::prefsSetLastImportExportDirectory()
{
    if (!m_lastImportExportDirURL.isLocalFile())
        return;
    QSettings settings;
    settings.setValue(lastImportExportDirKey, m_lastImportExportDirURL.toLocalFile().toUtf8());
    settings.sync();
}

#pragma once

#include <QUrl>

// Tarnwick's one remembered setting: the folder last chosen for an export
// or import. Read at launch, changed in memory by the commands, and
// written only at quit.
class Preferences
{
public:
    void prefsLoad();
    void prefsSave();
    void prefsSetLastImportExportDirectory();

    const QUrl &lastImportExportDirURL() const { return m_lastImportExportDirURL; }
    void setLastImportExportDirURL(const QUrl &url) { m_lastImportExportDirURL = url; }

private:
    QUrl m_lastImportExportDirURL;
};

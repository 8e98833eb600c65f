#pragma once

#include <QString>

// Where the deprecated framework pieces lie inside an SDK, and whether an
// SDK's own items were set aside by a fix. Paths always go through the
// frameworks' "Versions/A", never through their unversioned links.
class FrameworkLayout
{
public:
    explicit FrameworkLayout(QString sdkDirectory);

    QString qdFrameworkPathToHeaderDirectory(const QString &item, const QString &sdk) const;
    QString qdFrameworkPathToHeader(const QString &item, const QString &sdk) const;
    QString colorSyncFrameworkPathToHeader(const QString &item, const QString &sdk) const;
    QString printCoreFrameworkPathToHeader(const QString &item, const QString &sdk) const;
    QString printCoreFrameworkPathToFile(const QString &item, const QString &sdk) const;
    QString printFrameworkPathToHeader(const QString &item, const QString &sdk) const;
    QString printFrameworkPathToFile(const QString &item, const QString &sdk) const;
    QString quickTimeFrameworkPath(const QString &sdk) const;
    QString origQuickTimeFrameworkPath(const QString &sdk) const;

    // A fixed SDK: its QuickDraw headers were set aside as "Headers_orig".
    bool doesQDHeaderOrigExistInSDK(const QString &sdk) const;
    bool doesPrintCoreOrigFileExistInSDK(const QString &sdk) const;
    bool doesPrintOrigFileExistInSDK(const QString &sdk) const;

    // Whether anything exists at path, following links: a dangling link is
    // nothing.
    static bool exists(const QString &path);
    // Whether any item stands at path, a dangling link included: the tool
    // never writes over one.
    static bool anythingAt(const QString &path);

private:
    QString path(const char *format, const QString &sdk, const QString &item = QString()) const;

    QString m_sdkDirectory;
};

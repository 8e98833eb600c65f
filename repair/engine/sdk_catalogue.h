#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// An SDK row is a record with the single key "sdk" holding the SDK name.
using SdkRow = QVariantMap;

// The SDK's name that a row of the table holds under "sdk".
inline QString sdkOfRow(const SdkRow &row) { return row.value(QStringLiteral("sdk")).toString(); }

struct TableViewData {
    QStringList sdks;             // SDK names, sorted by minor number
    QList<SdkRow> tableContents;  // one row per name, same order
};

// Where the SDKs live and how they are named. Knows nothing of what is
// inside an SDK.
class SdkCatalogue
{
public:
    static QString defaultSdkDirectory();

    explicit SdkCatalogue(QString sdkDirectory = defaultSdkDirectory());

    const QString &sdkDirectory() const { return m_sdkDirectory; }

    static QString sdkFromOSNumString(const QString &osNum);
    QString sdkPathFromSDK(const QString &sdk) const;
    static qint64 osMinorNumFromSDK(const QString &sdk);
    // Whether a name of the table has an SDK's form too: "MacOSX", a digit
    // from 1 to 9, anything, ".sdk". Only beneath such a name does the tool
    // change anything, and it refuses a whole list for one other name.
    static bool isSdkName(const QString &name);
    bool sdk10_6Exists() const;

    // The model part of the table build: the SDK directory's entries that
    // look like SDKs, in a stable order of their minor numbers.
    TableViewData buildTableViewData() const;

private:
    QString m_sdkDirectory;
};

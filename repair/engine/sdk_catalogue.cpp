#include "sdk_catalogue.h"

#include "integer_value.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <memory>

#include <algorithm>

QString SdkCatalogue::defaultSdkDirectory()
{
    return QStringLiteral(SDK_DIRECTORY);
}

SdkCatalogue::SdkCatalogue(QString sdkDirectory)
    : m_sdkDirectory(std::move(sdkDirectory))
{
}

QString SdkCatalogue::sdkFromOSNumString(const QString &osNum)
{
    return QStringLiteral("MacOSX%1.sdk").arg(osNum);
}

QString SdkCatalogue::sdkPathFromSDK(const QString &sdk) const
{
    return m_sdkDirectory + u'/' + sdk;
}

qint64 SdkCatalogue::osMinorNumFromSDK(const QString &sdk)
{
    QStringView stem(sdk);
    const qsizetype dot = stem.lastIndexOf(u'.');
    // A leading dot marks a hidden name, not an extension.
    if (dot > 0)
        stem = stem.left(dot);
    if (stem.size() < 6)
        return 0;
    const auto components = stem.mid(6).split(u'.');
    if (components.size() < 2)
        return 0;
    return integerValue(components.at(1));
}

bool SdkCatalogue::isSdkName(const QString &name)
{
    return name.size() > 10 && name.startsWith(u"MacOSX") && name.at(6) >= u'1' && name.at(6) <= u'9'
           && name.endsWith(u".sdk");
}

bool SdkCatalogue::sdk10_6Exists() const
{
    return QFileInfo::exists(sdkPathFromSDK(sdkFromOSNumString(QStringLiteral("10.6"))));
}

// Every entry, whatever it is, in the order the directory gives them. A name
// that does not survive decoding is left out: its row would act on another
// path than its own.
static QStringList entryNames(const QString &folder)
{
    QStringList names;
    const std::unique_ptr<DIR, int (*)(DIR *)> listing(opendir(QFile::encodeName(folder).constData()), closedir);
    if (!listing)
        return names;
    while (const dirent *entry = readdir(listing.get())) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) == raw)
            names << name;
    }
    return names;
}

TableViewData SdkCatalogue::buildTableViewData() const
{
    QStringList names = entryNames(m_sdkDirectory);
    names.removeIf([](const QString &name) {
        return name.size() < 7 || name.at(6) < u'1' || name.at(6) > u'9';
    });
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return osMinorNumFromSDK(a) < osMinorNumFromSDK(b);
    });

    TableViewData data;
    data.sdks = names;
    data.tableContents.reserve(names.size());
    for (const QString &name : names)
        data.tableContents.append(SdkRow{{QStringLiteral("sdk"), name}});
    return data;
}

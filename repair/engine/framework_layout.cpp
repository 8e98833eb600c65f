#include "framework_layout.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

#define APPLICATION_SERVICES "%1/%2/System/Library/Frameworks/ApplicationServices.framework/Versions/A/Frameworks/"
#define CARBON "%1/%2/System/Library/Frameworks/Carbon.framework/Versions/A/Frameworks/"

constexpr char qdHeaderDirectory[] = APPLICATION_SERVICES "QD.framework/Versions/A/%3";
constexpr char qdHeader[] = APPLICATION_SERVICES "QD.framework/Versions/A/Headers/%3";
constexpr char colorSyncHeader[] = APPLICATION_SERVICES "ColorSync.framework/Versions/A/Headers/%3";
constexpr char printCoreHeader[] = APPLICATION_SERVICES "PrintCore.framework/Versions/A/Headers/%3";
constexpr char printCoreFile[] = APPLICATION_SERVICES "PrintCore.framework/Versions/A/%3";
constexpr char printHeader[] = CARBON "Print.framework/Versions/A/Headers/%3";
constexpr char printFile[] = CARBON "Print.framework/Versions/A/%3";
constexpr char quickTime[] = "%1/%2/System/Library/Frameworks/QuickTime.framework";
constexpr char origQuickTime[] = "%1/%2/System/Library/Frameworks/OrigQuickTime.framework";

#undef APPLICATION_SERVICES
#undef CARBON

} // namespace

FrameworkLayout::FrameworkLayout(QString sdkDirectory)
    : m_sdkDirectory(std::move(sdkDirectory))
{
}

// Multi-argument arg() fills all places at once, so an SDK or item name
// holding "%1" stays as it is.
QString FrameworkLayout::path(const char *format, const QString &sdk, const QString &item) const
{
    const QString pattern = QString::fromLatin1(format);
    if (pattern.contains(QLatin1String("%3")))
        return pattern.arg(m_sdkDirectory, sdk, item);
    return pattern.arg(m_sdkDirectory, sdk);
}

QString FrameworkLayout::qdFrameworkPathToHeaderDirectory(const QString &item, const QString &sdk) const
{
    return path(qdHeaderDirectory, sdk, item);
}

QString FrameworkLayout::qdFrameworkPathToHeader(const QString &item, const QString &sdk) const
{
    return path(qdHeader, sdk, item);
}

QString FrameworkLayout::colorSyncFrameworkPathToHeader(const QString &item, const QString &sdk) const
{
    return path(colorSyncHeader, sdk, item);
}

QString FrameworkLayout::printCoreFrameworkPathToHeader(const QString &item, const QString &sdk) const
{
    return path(printCoreHeader, sdk, item);
}

QString FrameworkLayout::printCoreFrameworkPathToFile(const QString &item, const QString &sdk) const
{
    return path(printCoreFile, sdk, item);
}

QString FrameworkLayout::printFrameworkPathToHeader(const QString &item, const QString &sdk) const
{
    return path(printHeader, sdk, item);
}

QString FrameworkLayout::printFrameworkPathToFile(const QString &item, const QString &sdk) const
{
    return path(printFile, sdk, item);
}

QString FrameworkLayout::quickTimeFrameworkPath(const QString &sdk) const
{
    return path(quickTime, sdk);
}

QString FrameworkLayout::origQuickTimeFrameworkPath(const QString &sdk) const
{
    return path(origQuickTime, sdk);
}

bool FrameworkLayout::exists(const QString &path)
{
    return QFileInfo::exists(path);
}

bool FrameworkLayout::anythingAt(const QString &path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool FrameworkLayout::doesQDHeaderOrigExistInSDK(const QString &sdk) const
{
    return exists(qdFrameworkPathToHeaderDirectory(QStringLiteral("Headers_orig"), sdk));
}

bool FrameworkLayout::doesPrintCoreOrigFileExistInSDK(const QString &sdk) const
{
    return exists(printCoreFrameworkPathToFile(QStringLiteral("PrintCore_orig"), sdk));
}

bool FrameworkLayout::doesPrintOrigFileExistInSDK(const QString &sdk) const
{
    return exists(printFrameworkPathToFile(QStringLiteral("Print_orig"), sdk));
}

#include "run_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <cmath>

namespace {

struct RunMessages {
    Q_DECLARE_TR_FUNCTIONS(RunMessages)
};

// Reasons shown on the failure sheet; the rest are only counted.
constexpr int reasonsShown = 3;

QString purposeText(const RunPurpose &purpose)
{
    const int n = static_cast<int>(purpose.sdks.size());
    // The singular spelt out: without a translation, %n keeps the plural's words.
    switch (purpose.kind) {
    case RunPurpose::Fix:
        return n == 1 ? RunMessages::tr("Fixing 1 SDK") : RunMessages::tr("Fixing %n SDKs", nullptr, n);
    case RunPurpose::Restore:
        return n == 1 ? RunMessages::tr("Restoring 1 SDK") : RunMessages::tr("Restoring %n SDKs", nullptr, n);
    case RunPurpose::Export:
        return n == 1 ? RunMessages::tr("Exporting 1 SDK") : RunMessages::tr("Exporting %n SDKs", nullptr, n);
    case RunPurpose::Import:
        return n == 1 ? RunMessages::tr("Importing 1 SDK") : RunMessages::tr("Importing %n SDKs", nullptr, n);
    }
    return QString();
}

// Both amounts in the unit of the total, decimal as file managers count:
// "1.2 of 4.8 GB".
QString amountsText(qint64 done, qint64 total)
{
    static const char *const units[] = {"bytes", "kB", "MB", "GB", "TB", "PB"};
    int unit = 0;
    double scale = 1;
    // Up a unit while the total would show as 1000 or more.
    while (unit < 5 && std::round(total / scale * 10) >= 10000) {
        scale *= 1000;
        ++unit;
    }
    const QLocale locale;
    if (unit == 0)
        return RunMessages::tr("%1 of %2 bytes").arg(locale.toString(done), locale.toString(total));
    return RunMessages::tr("%1 of %2 %3")
        .arg(locale.toString(done / scale, 'f', 1), locale.toString(total / scale, 'f', 1), QLatin1String(units[unit]));
}

QString nothingDoneText(RunPurpose::Kind kind)
{
    switch (kind) {
    case RunPurpose::Fix:
        return RunMessages::tr("No SDK was fixed.");
    case RunPurpose::Restore:
        return RunMessages::tr("No SDK was restored.");
    case RunPurpose::Export:
        return RunMessages::tr("No SDK was exported.");
    case RunPurpose::Import:
        return RunMessages::tr("No SDK was imported.");
    }
    return QString();
}

// An export or import copies one SDK per action, so it is counted in SDKs.
QString failedText(RunPurpose::Kind kind, qsizetype failed, qsizetype of)
{
    const int n = static_cast<int>(of);
    switch (kind) {
    case RunPurpose::Export:
        return (n == 1 ? RunMessages::tr("%1 of 1 SDK could not be exported.")
                       : RunMessages::tr("%1 of %n SDKs could not be exported.", nullptr, n))
            .arg(failed);
    case RunPurpose::Import:
        return (n == 1 ? RunMessages::tr("%1 of 1 SDK could not be imported.")
                       : RunMessages::tr("%1 of %n SDKs could not be imported.", nullptr, n))
            .arg(failed);
    case RunPurpose::Fix:
    case RunPurpose::Restore:
        break;
    }
    return (n == 1 ? RunMessages::tr("%1 of 1 action failed.") : RunMessages::tr("%1 of %n actions failed.", nullptr, n))
        .arg(failed);
}

// A folder as its owner thinks of it: the home folder as "~".
QString shownFolder(const QString &path)
{
    const QString home = QDir::homePath();
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + u'/'))
        return u'~' + path.mid(home.size());
    return path;
}

// The SDKs named, or counted when naming them would not fit one line.
QString sdksLeftOutText(const QStringList &names)
{
    switch (names.size()) {
    case 1:
        return RunMessages::tr("%1 was already there").arg(names[0]);
    case 2:
        return RunMessages::tr("%1 and %2 were already there").arg(names[0], names[1]);
    case 3:
        return RunMessages::tr("%1, %2 and %3 were already there").arg(names[0], names[1], names[2]);
    default:
        return RunMessages::tr("%n SDKs were already there", nullptr, static_cast<int>(names.size()));
    }
}

QString copiedText(const RunPurpose &purpose)
{
    const QString folder = shownFolder(purpose.folder);
    const int n = static_cast<int>(purpose.sdks.size());
    if (purpose.kind == RunPurpose::Export) {
        return n == 1 ? RunMessages::tr("Exported %1 to %2").arg(purpose.sdks.first(), folder)
                      : RunMessages::tr("Exported %n SDKs to %1", nullptr, n).arg(folder);
    }
    return n == 1 ? RunMessages::tr("Imported %1 from %2").arg(purpose.sdks.first(), folder)
                  : RunMessages::tr("Imported %n SDKs from %1", nullptr, n).arg(folder);
}

QString doneText(const RunPurpose &purpose)
{
    const int n = static_cast<int>(purpose.sdks.size());
    switch (purpose.kind) {
    case RunPurpose::Fix:
        return n == 1 ? RunMessages::tr("%1 fixed.").arg(purpose.sdks.first())
                      : RunMessages::tr("%n SDKs fixed.", nullptr, n);
    case RunPurpose::Restore:
        return n == 1 ? RunMessages::tr("%1 restored.").arg(purpose.sdks.first())
                      : RunMessages::tr("%n SDKs restored.", nullptr, n);
    case RunPurpose::Export:
    case RunPurpose::Import:
        break;
    }
    if (purpose.alreadyThere.isEmpty())
        return RunMessages::tr("%1.").arg(copiedText(purpose));
    return RunMessages::tr("%1; %2.").arg(copiedText(purpose), sdksLeftOutText(purpose.alreadyThere));
}

} // namespace

QString runOutcomeLine(const RunPurpose &purpose, const RunReport &report)
{
    switch (report.rights) {
    case RunReport::Granted:
        break;
    case RunReport::Dismissed:
        return RunMessages::tr("No SDK was changed: the administrator password was not given.");
    case RunReport::Asking:
    case RunReport::NotGranted:
        return RunMessages::tr("No SDK was changed: administrator rights could not be obtained.");
    }
    if (const auto failure = runOutcomeMessage(purpose, report))
        return failure->message;
    return doneText(purpose);
}

QString runProgressText(const RunPurpose &purpose, const RunReport &report)
{
    if (!report.counted || report.totalBytes == 0)
        return RunMessages::tr("%1…").arg(purposeText(purpose));
    return RunMessages::tr("%1: %2").arg(purposeText(purpose), amountsText(report.doneBytes, report.totalBytes));
}

std::optional<int> runProgressPermille(const RunReport &report)
{
    if (!report.counted)
        return std::nullopt;
    if (report.totalBytes > 0)
        return static_cast<int>(report.doneBytes * 1000 / report.totalBytes);
    if (report.totalItems > 0)
        return static_cast<int>(report.doneItems * 1000 / report.totalItems);
    return std::nullopt;
}

std::optional<RunOutcomeMessage> runOutcomeMessage(const RunPurpose &purpose, const RunReport &report)
{
    if (report.refused || (report.failures.isEmpty() && report.exitStatus == 2)) {
        QString text = RunMessages::tr("Tarnwick's helper refused the list of actions as a whole, so nothing was changed.");
        if (!report.refusal.isEmpty())
            text += QStringLiteral("\n\n") + report.refusal;
        return RunOutcomeMessage{nothingDoneText(purpose.kind), text};
    }
    if (!report.failures.isEmpty()) {
        const qsizetype failed = report.failures.size();
        const qsizetype of = std::max<qsizetype>(purpose.actions, failed);
        QStringList reasons;
        for (const ActionFailure &failure : report.failures.first(std::min<qsizetype>(failed, reasonsShown)))
            reasons << failure.reason;
        if (failed > reasonsShown)
            reasons << RunMessages::tr("And %n more.", nullptr, static_cast<int>(failed - reasonsShown));
        return RunOutcomeMessage{failedText(purpose.kind, failed, of), reasons.join(QStringLiteral("\n\n"))};
    }
    if (report.exitStatus < 0) {
        return RunOutcomeMessage{RunMessages::tr("The work was stopped before it was done."),
                                 RunMessages::tr("Tarnwick's helper was ended by signal %1. Some actions may not have been carried out.")
                                     .arg(-report.exitStatus)};
    }
    if (report.exitStatus != 0) {
        return RunOutcomeMessage{RunMessages::tr("Some actions failed."),
                                 RunMessages::tr("Tarnwick's helper ended with status %1. It names each failed action in the system log.")
                                     .arg(report.exitStatus)};
    }
    return std::nullopt;
}

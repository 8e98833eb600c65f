#include "run_messages.h"

#include <QLocale>

#include <cmath>

namespace {

// Reasons shown on the failure sheet; the rest are only counted.
constexpr int reasonsShown = 3;

QString purposeText(const RunPurpose &purpose)
{
    const char *verb = "";
    switch (purpose.kind) {
    case RunPurpose::Fix:
        verb = "Fixing";
        break;
    case RunPurpose::Restore:
        verb = "Restoring";
        break;
    case RunPurpose::Export:
        verb = "Exporting";
        break;
    case RunPurpose::Import:
        verb = "Importing";
        break;
    }
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(verb)).arg(purpose.sdks).arg(purpose.sdks == 1 ? "SDK" : "SDKs");
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
        return QStringLiteral("%1 of %2 bytes").arg(locale.toString(done), locale.toString(total));
    return QStringLiteral("%1 of %2 %3")
        .arg(locale.toString(done / scale, 'f', 1), locale.toString(total / scale, 'f', 1), QLatin1String(units[unit]));
}

QString nothingDoneText(RunPurpose::Kind kind)
{
    switch (kind) {
    case RunPurpose::Fix:
        return QStringLiteral("No SDK was fixed.");
    case RunPurpose::Restore:
        return QStringLiteral("No SDK was restored.");
    case RunPurpose::Export:
        return QStringLiteral("No SDK was exported.");
    case RunPurpose::Import:
        return QStringLiteral("No SDK was imported.");
    }
    return QString();
}

// An export or import copies one SDK per action, so it is counted in SDKs.
QString failedText(RunPurpose::Kind kind, qsizetype failed, qsizetype of)
{
    switch (kind) {
    case RunPurpose::Export:
        return QStringLiteral("%1 of %2 %3 could not be exported.").arg(failed).arg(of).arg(of == 1 ? "SDK" : "SDKs");
    case RunPurpose::Import:
        return QStringLiteral("%1 of %2 %3 could not be imported.").arg(failed).arg(of).arg(of == 1 ? "SDK" : "SDKs");
    case RunPurpose::Fix:
    case RunPurpose::Restore:
        break;
    }
    return QStringLiteral("%1 of %2 %3 failed.").arg(failed).arg(of).arg(of == 1 ? "action" : "actions");
}

} // namespace

QString runProgressText(const RunPurpose &purpose, const RunReport &report)
{
    if (!report.counted || report.totalBytes == 0)
        return purposeText(purpose) + QStringLiteral("…");
    return purposeText(purpose) + QStringLiteral(": ") + amountsText(report.doneBytes, report.totalBytes);
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
        QString text = QStringLiteral("Tarnwick's helper refused the list of actions as a whole, so nothing was changed.");
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
            reasons << QStringLiteral("And %1 more.").arg(failed - reasonsShown);
        return RunOutcomeMessage{failedText(purpose.kind, failed, of), reasons.join(QStringLiteral("\n\n"))};
    }
    if (report.exitStatus < 0) {
        return RunOutcomeMessage{QStringLiteral("The work was stopped before it was done."),
                                 QStringLiteral("Tarnwick's helper was ended by signal %1. Some actions may not have been carried out.")
                                     .arg(-report.exitStatus)};
    }
    if (report.exitStatus != 0) {
        return RunOutcomeMessage{QStringLiteral("Some actions failed."),
                                 QStringLiteral("Tarnwick's helper ended with status %1. It names each failed action in the system log.")
                                     .arg(report.exitStatus)};
    }
    return std::nullopt;
}

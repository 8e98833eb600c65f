#include "run_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>

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
    case RunPurpose::PutBack:
        return n == 1 ? RunMessages::tr("Putting back 1 SDK") : RunMessages::tr("Putting back %n SDKs", nullptr, n);
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
    case RunPurpose::PutBack:
        return RunMessages::tr("No SDK was put back.");
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
    case RunPurpose::PutBack:
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
    case RunPurpose::PutBack:
        return n == 1 ? RunMessages::tr("%1 was put back as it was.").arg(purpose.sdks.first())
                      : RunMessages::tr("%n SDKs were put back as they were.", nullptr, n);
    case RunPurpose::Export:
    case RunPurpose::Import:
        break;
    }
    if (purpose.alreadyThere.isEmpty())
        return RunMessages::tr("%1.").arg(copiedText(purpose));
    return RunMessages::tr("%1; %2.").arg(copiedText(purpose), sdksLeftOutText(purpose.alreadyThere));
}

bool changesSdks(RunPurpose::Kind kind)
{
    return kind == RunPurpose::Fix || kind == RunPurpose::Restore || kind == RunPurpose::PutBack;
}

// A path in the SDK directory as its SDK and its framework tell it:
// "MacOSX10.6.sdk/…/QD.framework/Versions/A/Headers".
QString shortPath(const QString &path, const QString &sdkDirectory)
{
    if (sdkDirectory.isEmpty() || !path.startsWith(sdkDirectory + u'/'))
        return path;
    const QStringList parts = path.mid(sdkDirectory.size() + 1).split(u'/');
    qsizetype framework = -1;
    for (qsizetype i = parts.size() - 1; i > 1 && framework < 0; --i) {
        if (parts[i].endsWith(QLatin1String(".framework")))
            framework = i;
    }
    if (framework < 0)
        return parts.join(u'/');
    return parts.first() + QStringLiteral("/…/") + parts.mid(framework).join(u'/');
}

// The tool's reason with every path of the SDK directory in its short form.
QString shortReason(QString reason, const QString &sdkDirectory)
{
    if (sdkDirectory.isEmpty())
        return reason;
    const QRegularExpression paths(u'"' + QStringLiteral("?(") + QRegularExpression::escape(sdkDirectory + u'/')
                                   + QStringLiteral("[^\"\\s:]+)\"?"));
    QString result;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &match : paths.globalMatch(reason)) {
        result += reason.mid(at, match.capturedStart() - at) + shortPath(match.captured(1), sdkDirectory);
        at = match.capturedEnd();
    }
    return result + reason.mid(at);
}

QString problemText(const PreflightProblem &problem, const QString &sdkDirectory)
{
    const QString item = shortPath(problem.path, sdkDirectory);
    switch (problem.kind) {
    case PreflightProblem::Missing:
        return RunMessages::tr("%1 is missing").arg(item);
    case PreflightProblem::Unreadable:
        return RunMessages::tr("%1 cannot be read").arg(item);
    case PreflightProblem::NotAFolder:
        return RunMessages::tr("%1 is not a folder").arg(item);
    case PreflightProblem::NotAFile:
        return RunMessages::tr("%1 is not a file").arg(item);
    case PreflightProblem::InTheWay:
        return RunMessages::tr("%1 is in the way").arg(item);
    }
    return item;
}

// A sentence ends with one full stop, whatever the reason ends with.
QString withReason(const QString &sentence, const QString &sdk, QString reason)
{
    while (reason.endsWith(u'.'))
        reason.chop(1);
    return sentence.arg(sdk, reason);
}

QString leftOutSentence(RunPurpose::Kind kind, const QString &sdk, const QString &reason)
{
    return withReason(kind == RunPurpose::Restore ? RunMessages::tr("%1 was not restored: %2.")
                                                  : RunMessages::tr("%1 was not fixed: %2."),
                      sdk, reason);
}

QString unchangedSentence(RunPurpose::Kind kind, const QString &sdk, const QString &reason)
{
    switch (kind) {
    case RunPurpose::Restore:
        return withReason(RunMessages::tr("%1 could not be restored and was left as it was: %2."), sdk, reason);
    case RunPurpose::PutBack:
        return withReason(RunMessages::tr("%1 could not be put back: %2."), sdk, reason);
    default:
        return withReason(RunMessages::tr("%1 could not be fixed and was left as it was: %2."), sdk, reason);
    }
}

QString interruptedSentence(RunPurpose::Kind kind, const QString &sdk, const QString &reason)
{
    switch (kind) {
    case RunPurpose::Restore:
        return withReason(RunMessages::tr("%1 could not be restored, nor put back as it was: %2."), sdk, reason);
    case RunPurpose::PutBack:
        return withReason(RunMessages::tr("%1 could not be put back: %2."), sdk, reason);
    default:
        return withReason(RunMessages::tr("%1 could not be fixed, nor put back as it was: %2."), sdk, reason);
    }
}

// One SDK that a fix, restore or put-back did not change as asked.
struct SdkFailure {
    QString sdk;
    QString sentence;
    QStringList details;
};

QString sdkAtPosition(const RunPurpose &purpose, int position)
{
    QString sdk;
    for (qsizetype i = 0; i < purpose.firstActions.size() && i < purpose.sdks.size(); ++i) {
        if (purpose.firstActions[i] <= position)
            sdk = purpose.sdks[i];
    }
    return sdk;
}

QList<SdkFailure> sdkFailures(const RunPurpose &purpose, const RunReport &report)
{
    QList<SdkFailure> failures;
    for (const LeftOutSdk &left : purpose.leftOut) {
        failures.append({left.sdk, leftOutSentence(purpose.kind, left.sdk, problemText(left.problem, purpose.sdkDirectory)),
                         {problemText(left.problem, QString())}});
    }
    for (const GroupEnd &group : report.groups) {
        if (group.kind == GroupEnd::Done)
            continue;
        const QString sdk = sdkAtPosition(purpose, group.first);
        const QString reason = shortReason(group.reason, purpose.sdkDirectory);
        SdkFailure failure{sdk,
                           group.kind == GroupEnd::Unchanged ? unchangedSentence(purpose.kind, sdk, reason)
                                                             : interruptedSentence(purpose.kind, sdk, reason),
                           {}};
        for (const ActionFailure &action : report.failures) {
            if (action.position >= group.first && action.position <= group.last)
                failure.details << action.reason;
        }
        failures.append(failure);
    }
    return failures;
}

// The SDKs a run changed as asked: all it was given but those that failed.
RunPurpose changedPart(const RunPurpose &purpose, const QList<SdkFailure> &failures)
{
    RunPurpose changed = purpose;
    for (const SdkFailure &failure : failures)
        changed.sdks.removeAll(failure.sdk);
    return changed;
}

std::optional<RunOutcomeMessage> sdkOutcomeMessage(const RunPurpose &purpose, const RunReport &report)
{
    const QList<SdkFailure> failures = sdkFailures(purpose, report);
    if (failures.isEmpty())
        return std::nullopt;
    QStringList sentences, details;
    for (const SdkFailure &failure : failures) {
        sentences << failure.sentence;
        details << failure.details;
    }
    const RunPurpose changed = changedPart(purpose, failures);
    if (!changed.sdks.isEmpty())
        sentences << doneText(changed);
    const int n = static_cast<int>(failures.size());
    QString message;
    if (n == 1)
        message = sentences.takeFirst();
    else if (purpose.kind == RunPurpose::Restore)
        message = RunMessages::tr("%n SDKs could not be restored.", nullptr, n);
    else if (purpose.kind == RunPurpose::PutBack)
        message = RunMessages::tr("%n SDKs could not be put back.", nullptr, n);
    else
        message = RunMessages::tr("%n SDKs could not be fixed.", nullptr, n);
    return RunOutcomeMessage{message, sentences.join(QStringLiteral("\n\n")), details.join(u'\n')};
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
    if (changesSdks(purpose.kind) && !report.refused) {
        const QList<SdkFailure> failures = sdkFailures(purpose, report);
        if (!failures.isEmpty()) {
            QStringList sentences;
            if (const RunPurpose changed = changedPart(purpose, failures); !changed.sdks.isEmpty())
                sentences << doneText(changed);
            for (const SdkFailure &failure : failures)
                sentences << failure.sentence;
            return sentences.join(u' ');
        }
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
        return RunOutcomeMessage{nothingDoneText(purpose.kind), text, {}};
    }
    if (changesSdks(purpose.kind)) {
        if (auto outcome = sdkOutcomeMessage(purpose, report))
            return outcome;
    }
    if (!report.failures.isEmpty()) {
        const qsizetype failed = report.failures.size();
        const qsizetype of = std::max<qsizetype>(purpose.actions, failed);
        QStringList reasons;
        for (const ActionFailure &failure : report.failures.first(std::min<qsizetype>(failed, reasonsShown)))
            reasons << failure.reason;
        if (failed > reasonsShown)
            reasons << RunMessages::tr("And %n more.", nullptr, static_cast<int>(failed - reasonsShown));
        return RunOutcomeMessage{failedText(purpose.kind, failed, of), reasons.join(QStringLiteral("\n\n")), {}};
    }
    if (report.exitStatus < 0) {
        return RunOutcomeMessage{RunMessages::tr("The work was stopped before it was done."),
                                 RunMessages::tr("Tarnwick's helper was ended by signal %1. Some actions may not have been carried out.")
                                     .arg(-report.exitStatus), {}};
    }
    if (report.exitStatus != 0) {
        return RunOutcomeMessage{RunMessages::tr("Some actions failed."),
                                 RunMessages::tr("Tarnwick's helper ended with status %1. It names each failed action in the system log.")
                                     .arg(report.exitStatus), {}};
    }
    return std::nullopt;
}

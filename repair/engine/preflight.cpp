#include "preflight.h"

#include "framework_layout.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

bool meansAFolder(const QString &path)
{
    const QString name = path.section(u'/', -1);
    return name.endsWith(QLatin1String(".framework")) || name == QLatin1String("Headers")
           || name == QLatin1String("Headers_orig");
}

// What the steps before leave at a path, where they touch it: true, made
// there; false, taken away. Nothing: the disk tells.
std::optional<bool> planned(const QHash<QString, bool> &steps, const QString &path)
{
    for (QString at = path; at.size() > 1; at = at.section(u'/', 0, -2)) {
        if (const auto it = steps.find(at); it != steps.end()) {
            if (!*it)
                return false;
            return at == path ? std::optional(true) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<PreflightProblem> sourceProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return PreflightProblem{PreflightProblem::Missing, path};
    const bool folder = meansAFolder(path);
    if (folder && !info.isDir())
        return PreflightProblem{PreflightProblem::NotAFolder, path};
    if (!folder && !info.isFile())
        return PreflightProblem{PreflightProblem::NotAFile, path};
    // Its owner's rights too: a copy keeps the mode, so what its owner may
    // not read would be unreadable in the SDK as well, whoever copies it.
    const QFileDevice::Permissions owner = folder ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                  : QFileDevice::Permissions(QFileDevice::ReadOwner);
    const bool readable = (info.permissions() & owner) == owner && info.isReadable() && (!folder || info.isExecutable());
    if (!readable)
        return PreflightProblem{PreflightProblem::Unreadable, path};
    return std::nullopt;
}

} // namespace

std::optional<PreflightProblem> preflightProblem(const QStringList &actions)
{
    QHash<QString, bool> steps;
    for (qsizetype i = 0; i + 2 < actions.size(); i += 3) {
        const QString &verb = actions[i], &first = actions[i + 1], &second = actions[i + 2];
        if (verb == QLatin1String("Remove")) {
            steps[first] = false;
            continue;
        }
        const std::optional<bool> source = planned(steps, first);
        if (source == false || (!source && !FrameworkLayout::anythingAt(first)))
            return PreflightProblem{PreflightProblem::Missing, first};
        if (!source && verb == QLatin1String("Copy")) {
            if (auto problem = sourceProblem(first))
                return problem;
        }
        const std::optional<bool> destination = planned(steps, second);
        if (destination == true || (!destination && FrameworkLayout::anythingAt(second)))
            return PreflightProblem{PreflightProblem::InTheWay, second};
        if (verb == QLatin1String("Move"))
            steps[first] = false;
        steps[second] = true;
    }
    return std::nullopt;
}

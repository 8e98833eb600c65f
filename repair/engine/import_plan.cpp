#include "import_plan.h"

#include "framework_layout.h"
#include "linked_item.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// What follows the last dot of the last component; a leading dot starts none.
QString pathExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot + 1) : QString();
}

bool isFolderItself(const QString &path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

QStringList entriesOf(const QString &folder)
{
    QStringList entries;
    const QDir dir(folder);
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString &name : dir.entryList(filter, QDir::Unsorted))
        entries << dir.filePath(name);
    return entries;
}

} // namespace

ImportPlan importPlan(const QString &sdkDirectory, const QStringList &chosen)
{
    ImportPlan plan;
    plan.copies.outcome = CopyPlan::NothingFound;
    if (chosen.isEmpty())
        return plan;

    const QString first = QDir::cleanPath(chosen.first());
    const bool firstIsSdk = pathExtension(first) == QLatin1String("sdk");
    plan.folderToRemember = firstIsSdk ? QFileInfo(first).path() : first;

    QStringList candidates;
    if (!firstIsSdk && isFolderItself(first)) {
        candidates = entriesOf(first);
    } else {
        for (const QString &item : chosen)
            candidates << QDir::cleanPath(item);
    }

    bool found = false;
    for (const QString &candidate : std::as_const(candidates)) {
        if (pathExtension(candidate) != QLatin1String("sdk"))
            continue;
        found = true;
        const QString name = QFileInfo(candidate).fileName();
        const QString destination = sdkDirectory + u'/' + name;
        if (FrameworkLayout::exists(destination))
            plan.copies.alreadyThere << name;
        else
            plan.copies.actions << QStringLiteral("Copy") << linkedItemPath(candidate) << destination;
    }
    if (found)
        plan.copies.outcome = plan.copies.actions.isEmpty() ? CopyPlan::AlreadyThere : CopyPlan::Run;
    return plan;
}

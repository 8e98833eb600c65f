#include "sdk_table_model.h"

#include "fix_plan.h"
#include "interrupted_change.h"

#include <QDir>

SdkTableModel::SdkTableModel(const QString &sdkDirectory, Context context, QObject *parent)
    : QAbstractListModel(parent)
    , m_catalogue(sdkDirectory)
    , m_layout(sdkDirectory)
    , m_context(std::move(context))
{
}

// Rows that stay keep their place, and with it their view and its focus;
// only when they changed their order is the table laid out anew.
void SdkTableModel::buildTableViewData()
{
    const QStringList names = m_catalogue.buildTableViewData().sdks;
    QStringList kept, keptInNewOrder;
    for (const SdkEntry &entry : std::as_const(m_entries))
        if (names.contains(entry.name))
            kept << entry.name;
    for (const QString &name : names)
        if (kept.contains(name))
            keptInNewOrder << name;
    if (kept != keptInNewOrder) {
        beginResetModel();
        m_entries.clear();
        for (const QString &name : names)
            m_entries << entryFromDisk(name);
        endResetModel();
    } else {
        for (auto row = m_entries.size() - 1; row >= 0; --row) {
            if (names.contains(m_entries[row].name))
                continue;
            beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
            m_entries.removeAt(row);
            endRemoveRows();
        }
        for (int row = 0; row < names.size(); ++row) {
            if (row < m_entries.size() && m_entries[row].name == names[row])
                continue;
            beginInsertRows({}, row, row);
            m_entries.insert(row, entryFromDisk(names[row]));
            endInsertRows();
        }
    }
    refresh();
}

void SdkTableModel::refresh()
{
    m_altKeyDown = m_context.altKeyDown();
    m_copying = m_context.copying();
    for (SdkEntry &entry : m_entries)
        entry = entryFromDisk(entry.name);
    if (!m_entries.isEmpty())
        emit dataChanged(index(0), index(static_cast<int>(m_entries.size()) - 1));
}

int SdkTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant SdkTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const SdkEntry &entry = m_entries[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return entry.name;
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return whyOf(entry);
    default:
        return {};
    }
}

QList<SdkRow> SdkTableModel::tableContents() const
{
    QList<SdkRow> rows;
    for (const SdkEntry &entry : m_entries)
        rows << SdkRow{{QStringLiteral("sdk"), entry.name}};
    return rows;
}

SdkEntry SdkTableModel::entryFromDisk(const QString &sdk) const
{
    const qint64 minor = SdkCatalogue::osMinorNumFromSDK(sdk);
    const bool inRange = isInFixableRange(minor);
    const bool busy = m_context.isBusy(sdk);
    if (inRange && isChangeInterrupted(m_catalogue.sdkDirectory(), sdk))
        return {sdk, minor, false, true, busy, !busy};
    return {sdk, minor, inRange && m_layout.doesQDHeaderOrigExistInSDK(sdk), false, busy, !busy && sdk10_6Exists()};
}

// The table may show what is no longer so, between a change on disk and
// the rebuild that follows it.
bool SdkTableModel::entryMatchesDisk(const SdkEntry &shown, bool exporting) const
{
    return FrameworkLayout::anythingAt(m_catalogue.sdkPathFromSDK(shown.name))
        && (exporting ? !m_context.isBusy(shown.name) : entryFromDisk(shown.name) == shown);
}

std::pair<int, int> SdkTableModel::fixableAndFixed() const
{
    int inRange = 0, fixed = 0;
    for (const SdkEntry &entry : m_entries) {
        if (!isInFixableRange(entry.minor))
            continue;
        ++inRange;
        if (m_layout.doesQDHeaderOrigExistInSDK(entry.name))
            ++fixed;
    }
    return {inRange, fixed};
}

QStringList SdkTableModel::fixedStateFolders() const
{
    QStringList folders;
    for (const SdkEntry &entry : m_entries)
        folders << QDir::cleanPath(m_layout.qdFrameworkPathToHeaderDirectory(QString(), entry.name));
    return folders;
}

// A row that a run under way touches says what the disk holds, but cannot
// be pressed.
SdkTableModel::Button SdkTableModel::button(int row) const
{
    const SdkEntry &entry = m_entries[row];
    Button button;
    button.enabled = entry.pressable;
    if (m_copying) {
        button.enabled = false;
    } else if (m_altKeyDown) {
        button.hidden = false;
        button.title = tr("Export");
        button.enabled = !entry.busy && !entry.interrupted;
    } else if (isInFixableRange(entry.minor)) {
        button.hidden = false;
        if (entry.interrupted)
            button.title = tr("Put Back");
        else
            button.title = entry.fixed ? tr("Restore") : tr("Fix");
    } else {
        button.hidden = true;
    }
    return button;
}

bool SdkTableModel::isDimmed(int row) const
{
    return !m_copying && !m_altKeyDown && !isInFixableRange(m_entries[row].minor);
}

// Why a row has no button, or one that cannot be pressed.
QString SdkTableModel::whyOf(const SdkEntry &entry) const
{
    if (entry.interrupted)
        return tr("A change of this SDK was interrupted. Put Back returns it to how it was before.");
    if (!isInFixableRange(entry.minor))
        return tr("Only SDKs 10.7 to 10.13 can be fixed or restored.");
    if (!sdk10_6Exists())
        return tr("Fixing and restoring need MacOSX10.6.sdk: import it first.");
    return {};
}

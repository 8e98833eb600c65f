#include "results_model.h"

#include "file_url.h"

#include <QFile>
#include <QMimeData>

#include <algorithm>
#include <numeric>
#include <set>
#include <vector>

const QStringList ResultsModel::columnIdentifiers{QStringLiteral("Name"), QStringLiteral("Path")};

namespace {

QString decoded(const std::string &bytes)
{
    return QFile::decodeName(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace

ResultRow::ResultRow(std::string name, std::string path)
    : m_name(std::move(name))
    , m_path(std::move(path))
{
}

QString ResultRow::displayName() const
{
    return decoded(m_name);
}

QString ResultRow::displayPath() const
{
    return decoded(m_path);
}

QUrl ResultRow::url() const
{
    return fileUrl(path());
}

QString ResultRow::value(const QString &key) const
{
    if (key == QLatin1String("Name"))
        return displayName();
    if (key == QLatin1String("Path"))
        return displayPath();
    return {};
}

std::string_view ResultRow::bytes(const QString &key) const
{
    if (key == QLatin1String("Name"))
        return m_name;
    if (key == QLatin1String("Path"))
        return m_path;
    return {};
}

ResultsModel::ResultsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    // The C locale compares code points and knows no numbers; a file
    // browser's order needs a real collation.
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    m_collator = QCollator(locale);
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columnIdentifiers.size());
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ResultRow &row = m_rows[index.row()];
    const QString key = columnIdentifiers.value(index.column());
    if (role == Qt::DisplayRole && key == QLatin1String("Path"))
        return shownPath(row);
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
        return row.value(key);
    return {};
}

void ResultsModel::setSdkDirectory(const QString &directory)
{
    m_sdkPrefix = directory.isEmpty() || directory.endsWith(u'/') ? directory : directory + u'/';
}

QString ResultsModel::shownPath(const ResultRow &row) const
{
    const QString path = row.displayPath();
    return path.startsWith(m_sdkPrefix) ? path.mid(m_sdkPrefix.size()) : path;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    // The identifiers name the columns in code and settings; these, to the user.
    const QString key = columnIdentifiers.value(section);
    if (key == QLatin1String("Name"))
        return tr("Name");
    if (key == QLatin1String("Path"))
        return tr("Path");
    return {};
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

QStringList ResultsModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData *ResultsModel::mimeData(const QModelIndexList &indexes) const
{
    std::set<int> rows; // one URL per row, whichever cells were picked
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.row() < m_rows.size())
            rows.insert(index.row());
    }
    QList<QUrl> urls;
    for (int row : rows)
        urls << m_rows[row].url();
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions ResultsModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

void ResultsModel::replaceRows(QList<ResultRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ResultsModel::append(QList<ResultRow> rows)
{
    if (rows.isEmpty())
        return;
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
    m_rows.append(std::move(rows));
    endInsertRows();
}

// Sorted as an order of the rows, so that the indexes views keep (the
// selection, the current row) move with their records.
void ResultsModel::sortUsingDescriptors(const QList<SortDescriptor> &descriptors)
{
    if (descriptors.isEmpty())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(static_cast<std::size_t>(m_rows.size()));
    std::iota(order.begin(), order.end(), 0);
    // The readable forms once per row, not once per comparison.
    std::vector<QStringList> shown(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        for (const SortDescriptor &descriptor : descriptors)
            shown[row] << m_rows[static_cast<qsizetype>(row)].value(descriptor.key);
    }
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) {
        const ResultRow &a = m_rows[left], &b = m_rows[right];
        for (qsizetype at = 0; at < descriptors.size(); ++at) {
            const SortDescriptor &descriptor = descriptors[at];
            int compared = m_collator.compare(shown[static_cast<std::size_t>(left)][at],
                                              shown[static_cast<std::size_t>(right)][at]);
            if (compared == 0)
                compared = a.bytes(descriptor.key).compare(b.bytes(descriptor.key));
            if (compared != 0)
                return descriptor.ascending ? compared < 0 : compared > 0;
        }
        return false;
    });
    QList<ResultRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRow(order.size());
    for (std::size_t at = 0; at < order.size(); ++at) {
        sorted.append(std::move(m_rows[order[at]]));
        newRow[static_cast<std::size_t>(order[at])] = static_cast<int>(at);
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(index.isValid() ? this->index(newRow[static_cast<std::size_t>(index.row())], index.column()) : index);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

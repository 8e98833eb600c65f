#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QCollator>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <string>
#include <string_view>

// A result record: "Name", the header's file name, and "Path", its path,
// both kept as the file system's bytes, which need not be UTF-8. The table
// shows a readable form; opening and every other use of the file take the
// bytes.
// Rows stream in by the ten thousand while the search still needs the
// cores: a row keeps the engine's strings as they come and makes its
// readable forms only when they are asked for, which is for the few rows
// in view.
class ResultRow
{
public:
    ResultRow() = default;
    ResultRow(std::string name, std::string path);

    // The real bytes.
    QByteArray name() const { return QByteArray::fromStdString(m_name); }
    QByteArray path() const { return QByteArray::fromStdString(m_path); }
    // For showing: bytes that are not UTF-8 read as U+FFFD.
    QString displayName() const;
    QString displayPath() const;
    // A file URL that names exactly the bytes of path().
    QUrl url() const;

    // Under a record key ("Name" or "Path"): the display form, the bytes.
    QString value(const QString &key) const;
    std::string_view bytes(const QString &key) const;

private:
    std::string m_name;
    std::string m_path;
};

struct SortDescriptor {
    QString key; // a record key, which is also a column identifier
    bool ascending = true;
};

// The rows of the results table. Columns are identified by record keys, so
// each cell shows the record's value under its column's identifier.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultsModel(QObject *parent = nullptr);

    static const QStringList columnIdentifiers;

    // The Path column shows paths from the SDK folder on, so that the SDK
    // stays in view; the tooltip and assistive technology get the full path.
    void setSdkDirectory(const QString &directory);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows leave the table as the files they name, for an editor or a
    // terminal to take.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    const QList<ResultRow> &rows() const { return m_rows; }
    void replaceRows(QList<ResultRow> rows);
    void append(QList<ResultRow> rows);

    // In place, by the first descriptor, later ones breaking ties; compared
    // as a file browser compares names: by locale, ignoring case, numbers by
    // their value; names that read alike by their bytes.
    void sortUsingDescriptors(const QList<SortDescriptor> &descriptors);

private:
    QString shownPath(const ResultRow &row) const;

    QList<ResultRow> m_rows;
    QString m_sdkPrefix;
    QCollator m_collator;
};

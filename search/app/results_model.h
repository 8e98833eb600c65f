#pragma once

#include <QAbstractTableModel>
#include <QCollator>
#include <QList>
#include <QString>
#include <QStringList>

// A result record: "Name", the header's file name, and "Path", its path.
struct ResultRow {
    QString name;
    QString path;

    QString value(const QString &key) const;
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
    // their value.
    void sortUsingDescriptors(const QList<SortDescriptor> &descriptors);

private:
    QList<ResultRow> m_rows;
    QCollator m_collator;
};

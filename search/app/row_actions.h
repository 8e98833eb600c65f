#pragma once

#include "results_model.h"

#include <QObject>
#include <QUrl>

#include <functional>

class ApplicationChooser;
class MyTableView;
class QAction;
class QMenu;
class QMimeData;

// What a user can do with result rows, from the table's context menu or
// its keys: Open (the table's own double action, also Return), Open With…,
// Show in Files, Copy Path, Copy Name. The copy actions and Show in Files
// take every selected row; the others the selected row.
class RowActions : public QObject
{
    Q_OBJECT

public:
    RowActions(MyTableView *table, ResultsModel *tableData, QObject *parent = nullptr);

    QAction *openAction;
    QAction *openWithAction;
    QAction *showInFilesAction;
    QAction *copyPathAction;
    QAction *copyNameAction;

    // What reaches the desktop. Tests record the files opened and the
    // clipboard, and point the file manager and the chooser at names of
    // their own on the bus.
    std::function<void(const QUrl &)> openUrl;
    std::function<void(QMimeData *)> setClipboard;
    QString fileManagerService = QStringLiteral("org.freedesktop.FileManager1");
    ApplicationChooser *applicationChooser;

    // The menu for the rows selected, owned by the caller.
    QMenu *contextMenu(QWidget *parent) const;

    // The selected row's header, in the application the desktop has for it.
    void open();
    void openWith();
    void showInFiles();
    void copyPaths();
    void copyNames();

private:
    // One line per selected row, on the clipboard.
    void copyEach(QString (ResultRow::*text)() const);
    QList<ResultRow> selectedRecords() const;
    void showContextMenu(const QPoint &position);
    void updateEnabled();

    MyTableView *m_table;
    ResultsModel *m_tableData;
};

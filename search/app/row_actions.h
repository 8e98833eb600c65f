#pragma once

#include "results_model.h"

#include <QObject>

#include <functional>

class AppDelegate;
class ApplicationChooser;
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
    explicit RowActions(AppDelegate *delegate);

    QAction *openAction;
    QAction *openWithAction;
    QAction *showInFilesAction;
    QAction *copyPathAction;
    QAction *copyNameAction;

    // What reaches the desktop. Tests record the clipboard, and point the
    // file manager and the chooser at names of their own on the bus.
    std::function<void(QMimeData *)> setClipboard;
    QString fileManagerService = QStringLiteral("org.freedesktop.FileManager1");
    ApplicationChooser *applicationChooser;

    // The menu for the rows selected, owned by the caller.
    QMenu *contextMenu(QWidget *parent) const;

    void openWith();
    void showInFiles();
    void copyPaths();
    void copyNames();

private:
    // One line per selected row, on the clipboard.
    void copyEach(const QString &(ResultRow::*text)() const);
    QList<ResultRow> selectedRecords() const;
    void showContextMenu(const QPoint &position);
    void updateEnabled();

    AppDelegate *m_delegate;
};

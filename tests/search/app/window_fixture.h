#pragma once

// Scoutmark's window on a temporary SDK directory, driven as a user drives
// it, with the desktop replaced by recorders.

#include "app_delegate.h"
#include "header_text_view.h"
#include "my_table_view.h"
#include "my_window.h"
#include "preview_pane.h"
#include "qt_printers.h"
#include "row_actions.h"
#include "search_thread.h"
#include "tree_snapshot.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

class WindowTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.filePath("SDKs");
    std::unique_ptr<MyWindow> window;
    std::unique_ptr<AppDelegate> delegate;
    QList<QUrl> opened;
    QStringList copied;

    void SetUp() override
    {
        QSettings().clear();
        QDir().mkpath(sdks);
    }
    void TearDown() override
    {
        delegate.reset();
        window.reset();
        QSettings().clear();
        // QTemporaryDir cannot remove names that are not UTF-8.
        std::filesystem::remove_all(root.path().toStdString());
    }

    QString header(const QString &path, const std::string &bytes)
    {
        writeFile((sdks + "/" + path).toStdString(), bytes);
        return sdks + "/" + path;
    }

    // count headers per SDK, each holding "NSNeedle", in nested folders.
    void makeManyHeaders(const QStringList &osNums, int count)
    {
        for (const QString &osNum : osNums) {
            for (int i = 0; i < count; ++i)
                header(QString("MacOSX%1.sdk/usr/include/d%2/h%3.h").arg(osNum).arg(i / 100).arg(i), "int NSNeedle;\n");
        }
    }

    void launch()
    {
        delegate.reset();
        window.reset();
        window = std::make_unique<MyWindow>();
        delegate = std::make_unique<AppDelegate>(window.get(), sdks);
        delegate->rowActions().openUrl = [this](const QUrl &url) { opened.append(url); };
        delegate->rowActions().setClipboard = [this](QMimeData *data) {
            copied << data->text();
            delete data;
        };
        window->show();
        delegate->applicationDidFinishLaunching();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void search(const QString &text, const QString &sdkTitle = {})
    {
        if (!sdkTitle.isEmpty())
            window->sdkPopUp->setCurrentText(sdkTitle);
        window->searchField->setText(text);
        QTest::keyClick(window->searchField, Qt::Key_Return);
    }

    bool waitForEnd(int ms = 20000)
    {
        return QTest::qWaitFor([&] { return !delegate->searchThread(); }, ms);
    }

    bool searchToEnd(const QString &text, const QString &sdkTitle = {})
    {
        search(text, sdkTitle);
        return waitForEnd();
    }

    // The names (0) or the full paths (1) of the rows, top to bottom.
    QStringList column(int index) const
    {
        QStringList values;
        for (const ResultRow &row : delegate->tableData().rows())
            values << (index == 0 ? row.displayName() : row.displayPath());
        return values;
    }

    void clickCell(int row, int column = 0, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = window->tableView->visualRect(delegate->tableData().index(row, column));
        QTest::mouseClick(window->tableView->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    void clickHeader(int section)
    {
        QHeaderView *header = window->tableView->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(section) + 5, 5));
    }

    bool controlsEnabled() const
    {
        return window->searchField->isEnabled() && window->sdkPopUp->isEnabled()
               && window->ignoreCommentsCheck->isEnabled() && window->caseSensitiveCheck->isEnabled();
    }

    // Selects a row as a click does and waits until its header is shown.
    bool preview(int row)
    {
        clickCell(row);
        return waitForPreview(delegate->tableData().rows().at(row).path());
    }

    bool waitForPreview(QByteArray path) // a copy: the rows may grow meanwhile
    {
        return QTest::qWaitFor([&] {
            return window->previewPane->shownPath() == path && !window->previewPane->isLoading();
        }, 10000);
    }

    HeaderTextView *textView() const { return window->previewPane->textView; }

    // The first element below the window with this role and this name or value.
    QAccessibleInterface *findAccessible(QAccessible::Role role, const QString &name,
                                         QAccessibleInterface *node = nullptr) const
    {
        node = node ? node : QAccessible::queryAccessibleInterface(window.get());
        if (node->role() == role && (node->text(QAccessible::Name) == name || node->text(QAccessible::Value) == name))
            return node;
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *found = findAccessible(role, name, node->child(i)))
                return found;
        }
        return nullptr;
    }
};

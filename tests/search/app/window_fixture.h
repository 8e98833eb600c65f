#pragma once

// Scoutmark's window on a temporary SDK directory, driven as a user drives
// it, with the desktop replaced by recorders.

#include "app_delegate.h"
#include "header_text_view.h"
#include "my_table_view.h"
#include "my_window.h"
#include "preview_pane.h"
#include "qt_printers.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QLineEdit>
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

    void launch()
    {
        delegate.reset();
        window.reset();
        window = std::make_unique<MyWindow>();
        delegate = std::make_unique<AppDelegate>(window.get(), sdks);
        delegate->openUrl = [this](const QUrl &url) { opened.append(url); };
        window->show();
        delegate->applicationDidFinishLaunching();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void search(const QString &text)
    {
        window->searchField->setText(text);
        QTest::keyClick(window->searchField, Qt::Key_Return);
    }

    bool waitForEnd(int ms = 20000)
    {
        return QTest::qWaitFor([&] { return !delegate->searchThread; }, ms);
    }

    // Selects a row as a click does and waits until its header is shown.
    bool preview(int row)
    {
        const QRect cell = window->tableView->visualRect(delegate->tableData.index(row, 0));
        QTest::mouseClick(window->tableView->viewport(), Qt::LeftButton, {}, cell.center());
        return waitForPreview(delegate->tableData.rows().at(row).path());
    }

    bool waitForPreview(QByteArray path) // a copy: the rows may grow meanwhile
    {
        return QTest::qWaitFor([&] {
            return window->previewPane->shownPath() == path && !window->previewPane->isLoading();
        }, 10000);
    }

    HeaderTextView *textView() const { return window->previewPane->textView; }
};

#pragma once

// The About box of either application, reached as from the keyboard: Alt+H
// opens the Help menu and A chooses its item. APPLICATION_VERSION and
// APPLICATION_SUMMARY are the including program's.

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

inline void expectAboutBoxFromTheHelpMenu(QWidget *window, const QString &name, const QString &version,
                                          const QString &summary)
{
    QTest::keyClick(window, Qt::Key_H, Qt::AltModifier);
    QMenu *help = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (help = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }));
    EXPECT_EQ(help->title(), "&Help");
    QTest::keyClick(help, Qt::Key_A);

    QPointer<QMessageBox> box;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        return box && box->windowTitle() == "About " + name;
    }));
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->parentWidget(), window);
    const QString text = box->text() + "\n" + box->informativeText();
    for (const QString &part : {"<b>" + name + "</b>", "Version " + version, summary + ".", QString("MIT License")})
        EXPECT_TRUE(text.contains(part)) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Version \\d+\\.\\d+\\.\\d+"))) << text.toStdString();

    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); })) << "a dismissed box is deleted";
}

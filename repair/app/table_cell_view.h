#pragma once

#include "sdk_entry.h"

#include <QElapsedTimer>
#include <QWidget>

class ElidedLabel;
class QPushButton;

// One row of the SDK table: the SDK's name and the row's button. The row
// itself takes the keyboard focus too, so that a row without a button
// still offers its menu.
class TableCellView : public QWidget
{
    Q_OBJECT

public:
    explicit TableCellView(QWidget *parent = nullptr);

    ElidedLabel *textField() const { return m_textField; }
    QPushButton *button() const { return m_button; }

    // Normal text, or text that stands back, for rows the repair passes by.
    void setDimmed(bool dimmed);
    bool isDimmed() const;

    // What the row's button does with the Alt key up, as last shown, so
    // that a press can be held against what the user saw.
    const SdkEntry &entry() const { return m_entry; }
    void setEntry(const SdkEntry &entry);
    // Whether the offer changed less than msecs ago: a press then was aimed
    // at what the row offered before (the second click of a double-click).
    bool offerChangedWithin(int msecs) const;
    // The row now stands where another stood: to the pointer, its offer
    // changed.
    void moved() { m_offerChanged.start(); }

signals:
    // The row's menu is wanted, by the mouse or the keyboard, at a point
    // of the screen.
    void menuRequested(const QPoint &globalPos);

protected:
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void makeDimmedTextReadable();
    QPoint keyboardMenuPosition() const;

    ElidedLabel *m_textField;
    QPushButton *m_button;
    SdkEntry m_entry;
    bool m_offered = false;
    QElapsedTimer m_offerChanged; // invalid until a shown offer changes
};

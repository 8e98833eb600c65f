#pragma once

#include <QElapsedTimer>
#include <QWidget>

class ElidedLabel;
class QPushButton;

// One row of the SDK table: the SDK's name and the row's button. Views are
// recycled between rows, so a view may carry the state of an earlier row.
// The row itself takes the keyboard focus too, so that a row without a
// button still offers its menu.
class TableCellView : public QWidget
{
    Q_OBJECT

public:
    explicit TableCellView(const QString &identifier, QWidget *parent = nullptr);

    const QString &identifier() const { return m_identifier; }
    ElidedLabel *textField() const { return m_textField; }
    QPushButton *button() const { return m_button; }

    // Normal text, or text that stands back, for rows the repair passes by.
    void setDimmed(bool dimmed);
    bool isDimmed() const;

    // What the row's button does with the Alt key up, as last shown, so
    // that a press can be held against what the user saw.
    struct Offer {
        QString sdk;
        bool fixed = false; // it restores
        bool interrupted = false; // its change was cut short: it puts back
        bool pressable = false;

        bool operator==(const Offer &) const = default;
    };
    const Offer &offer() const { return m_offer; }
    void setOffer(const Offer &offer);
    // Whether the offer changed less than msecs ago: a press then was aimed
    // at what the row offered before (the second click of a double-click).
    bool offerChangedWithin(int msecs) const;

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

    QString m_identifier;
    ElidedLabel *m_textField;
    QPushButton *m_button;
    Offer m_offer;
    bool m_offered = false;
    QElapsedTimer m_offerChanged; // invalid until a shown offer changes
};

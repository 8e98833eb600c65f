#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One row of the SDK table: the SDK's name and the row's button. Views are
// recycled between rows, so a view may carry the state of an earlier row.
class TableCellView : public QWidget
{
    Q_OBJECT

public:
    explicit TableCellView(const QString &identifier, QWidget *parent = nullptr);

    const QString &identifier() const { return m_identifier; }
    QLabel *textField() const { return m_textField; }
    QPushButton *button() const { return m_button; }

private:
    QString m_identifier;
    QLabel *m_textField;
    QPushButton *m_button;
};

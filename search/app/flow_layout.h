#pragma once

#include <QLayout>
#include <QList>

// Lays its items out in rows, left to right, starting a new row where the
// next item would not fit: at any width every item stays on screen. Items
// that grow horizontally share what is left over in their row.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent, int horizontalSpacing, int verticalSpacing);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in rect when apply is set; answers the height used.
    int arrange(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> m_items;
    int m_horizontalSpacing;
    int m_verticalSpacing;
};

#include "table_cell_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TableCellView::TableCellView(const QString &identifier, QWidget *parent)
    : QWidget(parent)
    , m_identifier(identifier)
    , m_textField(new QLabel(this))
    , m_button(new QPushButton(tr("Fix"), this))
{
    setObjectName(identifier);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 3, 6, 3);
    layout->addWidget(m_textField, 1);
    layout->addWidget(m_button);
    m_textField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Over a Base background a label would draw in Text, not the colour set.
    m_textField->setForegroundRole(QPalette::WindowText);
    // Rows without a button keep the height of those with one.
    QSizePolicy policy = m_button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_button->setSizePolicy(policy);
    // Wide enough for the longest title, so rows line up whatever they say.
    m_button->setMinimumWidth(m_button->fontMetrics().horizontalAdvance(tr("Restore")) + 40);
    setAutoFillBackground(true);
}

#include "sdk_table_accessibility.h"

#include "elided_label.h"
#include "sdk_table_view.h"
#include "table_cell_view.h"

#include <QAccessibleWidget>

namespace {

class SdkListAccessible : public QAccessibleWidget
{
public:
    explicit SdkListAccessible(SdkTableView *table)
        : QAccessibleWidget(table, QAccessible::List)
    {
    }

    // The rows, in table order, and nothing of the scroll area around them.
    int childCount() const override { return table()->numberOfRows(); }
    QAccessibleInterface *child(int index) const override
    {
        TableCellView *row = table()->viewAtRow(index);
        return row ? QAccessible::queryAccessibleInterface(row) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *row = child ? qobject_cast<const TableCellView *>(child->object()) : nullptr;
        return row ? table()->rowForView(row) : -1;
    }

private:
    SdkTableView *table() const { return static_cast<SdkTableView *>(widget()); }
};

class SdkRowAccessible : public QAccessibleWidget
{
public:
    explicit SdkRowAccessible(TableCellView *row)
        : QAccessibleWidget(row, QAccessible::ListItem)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return row()->textField()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessibleInterface *parent() const override
    {
        for (QWidget *up = row()->parentWidget(); up; up = up->parentWidget())
            if (auto *table = qobject_cast<SdkTableView *>(up))
                return QAccessible::queryAccessibleInterface(table);
        return QAccessibleWidget::parent();
    }

private:
    TableCellView *row() const { return static_cast<TableCellView *>(widget()); }
};

QAccessibleInterface *sdkTableInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("SdkTableView"))
        return new SdkListAccessible(static_cast<SdkTableView *>(object));
    if (className == QLatin1String("TableCellView"))
        return new SdkRowAccessible(static_cast<TableCellView *>(object));
    return nullptr;
}

} // namespace

void installSdkTableAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(sdkTableInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

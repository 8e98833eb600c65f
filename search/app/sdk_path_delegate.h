#pragma once

#include <QStyledItemDelegate>

// Draws a path that starts with its SDK folder so that a narrow column cuts
// it short after that folder and keeps the end: "MacOSX10.9.sdk/…/NSView.h".
// The SDK and the file name are what tell rows apart.
class SdkPathDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

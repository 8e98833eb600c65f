#pragma once

#include <QLabel>

// A one-line label that leaves out the middle of a text too long for its
// width ("MacOSX10.9-w…ion.sdk") instead of widening its window. text(),
// the accessible name and, while shortened, the tooltip hold it whole.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    bool isElided() const;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString shownText() const;
};

#pragma once

#include <QLineEdit>

// The search text, as wide as a long identifier when there is room. Alt with a letter is a mnemonic, never text: where no
// control answers it, it goes on unused instead of into the field (and so
// into the saved settings).
class SearchField : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

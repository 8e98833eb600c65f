#pragma once

#include <QMessageBox>

class QPushButton;

// The first-run disclaimer. Escape disagrees; Return presses nothing, so
// that nobody agrees by reflex.
class DisclaimerSheet : public QMessageBox
{
    Q_OBJECT

public:
    DisclaimerSheet(const QString &text, QWidget *parent);

    QPushButton *agreeButton() const { return m_agree; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_agree;
    QPushButton *m_disagree;
};

#pragma once

#include <QMessageBox>

class QPushButton;

// What alertDidEnd() is told: the alert's first or second button.
constexpr int alertFirstButtonReturn = 1000;
constexpr int alertSecondButtonReturn = 1001;

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

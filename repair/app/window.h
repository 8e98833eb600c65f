#pragma once

#include <QMainWindow>

#include <optional>

class ElidedLabel;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class SdkTableView;

// Tarnwick's one window. Besides its controls it tracks the Alt key (the
// platform's Option key), which turns every row button into "Export". It
// opens at the size it had when the application last quit, within the
// screen.
class Window : public QMainWindow
{
    Q_OBJECT

public:
    explicit Window(QWidget *parent = nullptr);
    ~Window() override;

    bool altKeyDown() const { return m_altKeyDown; }
    // Stores the flag only; the row titles follow at the next reload.
    void setAltKeyDown(bool down) { m_altKeyDown = down; }

    // Reloads the table when the Alt key's state differs from the stored one.
    void flagsChanged(Qt::KeyboardModifiers modifiers);

    // The line below the table: a run of the tool under way, its text and
    // share done (none: busy without a measure); or a sentence, such as how
    // the last run ended; or, when there is nothing to say, the hint.
    void showRunProgress(const QString &text, std::optional<int> permille);
    void showStatusMessage(const QString &text);
    void showHint();

    // The controls of the layout.
    SdkTableView *sdkTable = nullptr;
    QPushButton *fixAllButton = nullptr;
    QPushButton *restoreAllButton = nullptr;
    QPushButton *exportAllButton = nullptr;
    QPushButton *importButton = nullptr;
    QPushButton *showInFilesButton = nullptr;
    ElidedLabel *progressLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    ElidedLabel *statusLabel = nullptr;

signals:
    void windowDidBecomeKey();

protected:
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSize sizeOnScreen(const QSize &wanted) const;

    QLabel *m_hint = nullptr;
    QStackedWidget *m_statusLine = nullptr;
    bool m_altKeyDown = false;
};

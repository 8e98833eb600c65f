#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// The desktop's application chooser, through the OpenURI portal on the
// session bus, asked to let the user choose ("ask"). Where no portal runs or
// can be started, there is no chooser; whether there is one is learnt from
// the bus without waiting, at the start and again on every refresh.
class ApplicationChooser : public QObject
{
    Q_OBJECT

public:
    explicit ApplicationChooser(QString service = QStringLiteral("org.freedesktop.portal.Desktop"),
                                QObject *parent = nullptr);

    bool isAvailable() const { return m_available; }
    void refresh();

    // Lets the user choose the application that opens the file at path.
    // parentWindow identifies our window to the portal ("x11:<id>"), or is
    // empty.
    void choose(const QByteArray &path, const QString &parentWindow);

signals:
    void availabilityChanged(bool available);

private:
    // Whether the bus's answer to method, a list of names, holds ours.
    void busLists(const QString &method, std::function<void(bool)> then);
    void learn(bool available);

    QString m_service;
    bool m_available = false;
};

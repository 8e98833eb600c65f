#pragma once

#include "framework_layout.h"
#include "sdk_catalogue.h"
#include "sdk_entry.h"

#include <QAbstractListModel>

#include <functional>
#include <optional>

// The SDK table's rows, one per SDK of the SDK directory in the order of
// their minor numbers, and what each row shows: its name, its button's
// title and state, dimmed text, and why it has no button or one that
// cannot be pressed.
class SdkTableModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // What the rows show besides the disk: the Alt key, which turns every
    // button into "Export", a copy under way, which turns every button off,
    // and the runs that keep single SDKs busy.
    struct Context {
        std::function<bool()> altKeyDown;
        std::function<bool()> copying;
        std::function<bool(const QString &sdk)> isBusy;
    };
    SdkTableModel(const QString &sdkDirectory, Context context, QObject *parent = nullptr);

    // Lists the SDK directory again; rows that stay keep their place.
    void buildTableViewData();
    // Reads every row's state again.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    const QList<SdkEntry> &entries() const { return m_entries; }
    QList<SdkRow> tableContents() const;
    SdkEntry entryFromDisk(const QString &sdk) const;
    // Whether a press on a row that showed shown may go ahead: the SDK is
    // still there and shows the same, or, for an export, is not busy.
    bool entryMatchesDisk(const SdkEntry &shown, bool exporting) const;
    bool sdk10_6Exists() const { return m_catalogue.sdk10_6Exists(); }
    // The rows of the fixable range, and how many of them are fixed.
    std::pair<int, int> fixableAndFixed() const;
    // The folders whose change may change what a row shows.
    QStringList fixedStateFolders() const;

    // How a row's button looks. Nothing for a title or a hidden state means
    // it is left as it was.
    struct Button {
        std::optional<QString> title;
        std::optional<bool> hidden;
        bool enabled = false;
    };
    Button button(int row) const;
    bool isDimmed(int row) const;

private:
    QString whyOf(const SdkEntry &entry) const;

    SdkCatalogue m_catalogue;
    FrameworkLayout m_layout;
    Context m_context;
    QList<SdkEntry> m_entries;
    bool m_altKeyDown = false; // as at the last refresh
    bool m_copying = false;
};

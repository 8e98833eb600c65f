#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

// One row of a fix or restore table: the action is written when `when` holds.
struct PlanRow {
    bool when;
    const char *verb;
    QString first;
    QString second;
};

inline void appendRows(QStringList &actions, std::initializer_list<PlanRow> rows)
{
    for (const PlanRow &row : rows) {
        if (row.when)
            actions << QString::fromLatin1(row.verb) << row.first << row.second;
    }
}

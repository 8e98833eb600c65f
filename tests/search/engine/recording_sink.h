#pragma once

#include "search_types.h"

#include <functional>
#include <vector>

// Keeps every record, counts the cancellation checks, cancels when told, and
// counts the records that arrive after it has answered yes.
class RecordingSink : public SearchSink
{
public:
    std::vector<ResultRecord> records;
    int checks = 0;
    int recordsAfterCancel = 0;
    std::function<bool(const RecordingSink &)> cancelWhen = [](const RecordingSink &) { return false; };

    void arrayAddObject(ResultRecord record) override
    {
        recordsAfterCancel += m_cancelled ? 1 : 0;
        records.push_back(std::move(record));
    }
    bool isCancelled() override
    {
        ++checks;
        m_cancelled = m_cancelled || cancelWhen(*this);
        return m_cancelled;
    }

private:
    bool m_cancelled = false;
};

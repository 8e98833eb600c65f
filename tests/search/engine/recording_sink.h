#pragma once

#include "search_types.h"

#include <functional>
#include <vector>

// Keeps every record, counts the cancellation checks, and cancels when told.
class RecordingSink : public SearchSink
{
public:
    std::vector<ResultRecord> records;
    int checks = 0;
    std::function<bool(const RecordingSink &)> cancelWhen = [](const RecordingSink &) { return false; };

    void arrayAddObject(ResultRecord record) override { records.push_back(std::move(record)); }
    bool isCancelled() override
    {
        ++checks;
        return cancelWhen(*this);
    }
};

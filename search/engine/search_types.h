#pragma once

#include <string>

// A search as the window asks for it: "SearchString", "SDKTitle" ("All" or
// an OS number string), "IgnoreComments", "CaseSensitive".
struct SearchRequest {
    std::string searchString; // UTF-8, never empty when a run starts
    std::string sdkTitle;
    bool ignoreComments = false;
    bool caseSensitive = false;
};

// One matching header: "Name", its file name, and "Path", its full path as
// the walk reached it, both as the file system's bytes (not always UTF-8).
struct ResultRecord {
    std::string name;
    std::string path;

    bool operator==(const ResultRecord &) const = default;
};

// Where a run sends its results, and how it learns that it should stop.
// Both are called on the thread that runs the search.
class SearchSink
{
public:
    virtual ~SearchSink() = default;
    virtual void arrayAddObject(ResultRecord record) = 0;
    virtual bool isCancelled() = 0;
};

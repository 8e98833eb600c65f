#pragma once

// The search done the slow and obvious way: every entry in listing order,
// folders before their contents, links never entered, the two skipped
// frameworks the test trees hold pruned; every readable "*.h" decoded and
// tested as text.

#include "header_search.h"
#include "obvious_decoding.h"
#include "reference_matching.h"
#include "tree_snapshot.h"

#include <filesystem>
#include <unicode/unistr.h>

// Whether the request lists a header of these bytes.
inline bool obviousDecision(std::string_view bytes, const SearchRequest &request)
{
    const icu::UnicodeString search = icu::UnicodeString::fromUTF8(request.searchString);
    const std::u16string needle(search.getBuffer(), static_cast<std::size_t>(search.length()));
    const std::u16string text = obviousText(bytes);
    return stringContainsString(&text, needle, request.ignoreComments, request.caseSensitive);
}

// The records a run must give; entries, if given, counts what it walks.
inline std::vector<ResultRecord> obviousSearch(const std::string &sdks, const std::vector<std::string> &nums,
                                               const SearchRequest &request, int *entries = nullptr)
{
    namespace fs = std::filesystem;
    std::vector<ResultRecord> records;
    for (const std::string &num : request.sdkTitle == "All" ? nums : std::vector{request.sdkTitle}) {
        fs::path root = sdks + "/MacOSX" + num + ".sdk";
        std::error_code error;
        if (fs::is_symlink(root))
            root = fs::canonical(root, error);
        for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
             !error && it != end; it.increment(error)) {
            if (entries)
                ++*entries;
            const std::string name = it->path().filename().string();
            if (it->is_directory() && !it->is_symlink()) {
                if (name == "Python.framework" || name == "Tcl.framework")
                    it.disable_recursion_pending();
                continue;
            }
            const auto dot = name.rfind('.');
            if (dot == std::string::npos || dot == 0 || name.substr(dot + 1) != "h" || fs::is_directory(it->path()))
                continue;
            if (obviousDecision(readFile(it->path().string()), request))
                records.push_back({name, it->path().string()});
        }
    }
    return records;
}

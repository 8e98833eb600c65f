#include "action_list.h"
#include "qt_printers.h"
#include "tree_snapshot.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::string sdks = "/X/SDKs";

struct ListCase {
    std::string named; // text the refusal must contain, or "accepted"
    std::vector<std::string> list;
};

// The cases of data/action_lists.txt, whose first line tells their form.
std::vector<ListCase> listCases()
{
    std::vector<ListCase> cases;
    std::istringstream file(readFile(TOOL_TEST_DATA "/action_lists.txt"));
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        ListCase c{line.substr(0, line.find(" \"")), {}};
        for (std::size_t at = line.find('"'); at < line.size(); at = line.find('"', at + 1)) {
            std::string word;
            for (++at; at < line.size() && line[at] != '"'; ++at) {
                if (line[at] != '\\') {
                    word += line[at];
                } else if (line[++at] == 'n') {
                    word += '\n';
                } else if (line[at] == 'x') {
                    word += static_cast<char>(std::stoi(line.substr(at + 1, 2), nullptr, 16));
                    at += 2;
                } else {
                    word += line[at];
                }
            }
            c.list.push_back(word);
        }
        cases.push_back(c);
    }
    return cases;
}

} // namespace

TEST(ActionList, AcceptsWellFormedListsAndNamesTheFirstBadActionOfOthers)
{
    const std::vector<ListCase> cases = listCases();
    ASSERT_EQ(cases.size(), 53u) << "every line of the file is read";
    for (const ListCase &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.list));
        const auto result = validateActionList(c.list, sdks);
        const auto *refusal = std::get_if<Refusal>(&result);
        if (c.named != "accepted") {
            ASSERT_TRUE(refusal) << "should be refused, mentioning \"" << c.named << '"';
            EXPECT_NE(refusal->reason.find(c.named), std::string::npos)
                << "refusal \"" << refusal->reason << "\" should mention \"" << c.named << '"';
            continue;
        }
        ASSERT_FALSE(refusal) << refusal->reason;
        const auto &actions = std::get<std::vector<Action>>(result);
        ASSERT_EQ(actions.size(), c.list.size() / 3);
        for (std::size_t i = 0; i < actions.size(); ++i)
            EXPECT_EQ(wordOf(actions[i].verb), c.list[3 * i]);
    }
}

#include "action_list.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

const std::string sdks = "/X/SDKs";

std::string refusalOf(const std::vector<std::string> &arguments)
{
    const auto result = validateActionList(arguments, sdks);
    const auto *refusal = std::get_if<Refusal>(&result);
    return refusal ? refusal->reason : std::string();
}

} // namespace

TEST(ActionList, AcceptsWellFormedLists)
{
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"Remove", "/X/SDKs/MacOSX10.9.sdk/System/Headers", ""},
        {"Move", "/X/SDKs/MacOSX11.1.sdk/a b", "/X/SDKs/MacOSX11.1.sdk/a\nb\"c\xc3\xa9"},
        {"Copy", "/home/user/MacOSX10.6.sdk", "/X/SDKs/MacOSX10.6.sdk"},
        {"Copy", "/X/SDKs/MacOSX10.9.sdk", "/media/usb/MacOSX10.9.sdk"},
        {"Copy", "/X/SDKs/MacOSX10.6.sdk/System/QD", "/X/SDKs/MacOSX10.9.sdk/System/QD"},
        // An import may bring in any name of the form "*.sdk", to be listed or not.
        {"Copy", "/X/SDKs/A.sdk", "/X/SDKs/.B.sdk"},
        {"Copy", "/X/SDKs", "/home/user/all"},
        {"Copy", "/a/b", "/a/bc"},
        {"Copy", "/a", "/b", "Remove", "/X/SDKs/MacOSX1.sdk/x", ""},
        {"Undo", "/X/SDKs/MacOSX10.9.sdk", ""},
    };
    for (const auto &list : lists) {
        const auto result = validateActionList(list, sdks);
        ASSERT_TRUE(std::holds_alternative<std::vector<Action>>(result)) << refusalOf(list);
        const auto &actions = std::get<std::vector<Action>>(result);
        ASSERT_EQ(actions.size(), list.size() / 3);
        for (std::size_t i = 0; i < actions.size(); ++i)
            EXPECT_EQ(wordOf(actions[i].verb), list[3 * i]);
    }
}

TEST(ActionList, RefusesMalformedListsNamingTheFirstBadAction)
{
    const struct {
        std::vector<std::string> list;
        const char *named; // text the refusal must contain
    } cases[] = {
        {{"Copy", "/a"}, "action 1"},
        {{"Copy", "/a", "/b", "Remove"}, "action 2"},
        {{"copy", "/a", "/b"}, "unknown verb"},
        {{"Delete", "/X/SDKs/MacOSX10.9.sdk/x", ""}, "unknown verb"},
        {{"Delete", "x", ""}, "absolute"}, // the operand is looked at before the verb
        {{"Copy", "a", "/b"}, "absolute"},
        {{"Copy", "/a", ""}, "absolute"},
        {{"Copy", "/a//b", "/c"}, "absolute"},
        {{"Copy", "/a/", "/c"}, "absolute"},
        {{"Copy", "/a/./b", "/c"}, "absolute"},
        {{"Copy", "/a", "/X/SDKs/MacOSX10.9.sdk/../../etc"}, "absolute"},
        {{"Copy", "/", "/c"}, "absolute"},
        {{"Remove", "/X/SDKs/MacOSX10.9.sdk/x", "/y"}, "empty second operand"},
        {{"Remove", "/X/SDKs", ""}, "not inside an SDK"},
        {{"Remove", "/X/SDKs/MacOSX10.9.sdk", ""}, "not inside an SDK"},
        {{"Remove", "/X/SDKsX/s/x", ""}, "not inside an SDK"},
        {{"Remove", "/etc/passwd", ""}, "not inside an SDK"},
        {{"Move", "/X/SDKs/MacOSX10.9.sdk/x", "/tmp/x"}, "not inside an SDK"},
        {{"Move", "/tmp/x", "/X/SDKs/MacOSX10.9.sdk/x"}, "not inside an SDK"},
        {{"Move", "/X/SDKs/MacOSX10.9.sdk/x", "/X/SDKs/t"}, "not inside an SDK"},
        {{"Copy", "/a", "/b", "Remove", "/X/SDKs/MacOSX10.9.sdk", ""}, "action 2"},
        // Root writes into the SDK directory only inside an SDK or as a new SDK.
        {{"Copy", "/a", "/X/SDKs/notes"}, "must be named"},
        {{"Copy", "/a", "/X/SDKs/MacOSX10.9.SDK"}, "must be named"},
        {{"Copy", "/a", "/X/SDKs"}, "SDK directory itself"},
        {{"Copy", "/a", "/a"}, "inside its own source"},
        {{"Copy", "/a", "/a/b"}, "inside its own source"},
        {{"Copy", "/X/SDKs/MacOSX10.9.sdk/x", "/X/SDKs/MacOSX10.9.sdk/x/y"}, "inside its own source"},
        {{"Move", "/X/SDKs/MacOSX10.9.sdk/x", "/X/SDKs/MacOSX10.9.sdk/x/y"}, "inside its own source"},
        {{"Move", "/X/SDKs/MacOSX10.9.sdk/x", "/X/SDKs/t.sdk"}, "not inside an SDK"},
        // Inside the SDK directory, only what lies beneath an SDK's name changes.
        {{"Remove", "/X/SDKs/etc/passwd", ""}, "not inside an SDK"},
        {{"Move", "/X/SDKs/etc/passwd", "/X/SDKs/MacOSX10.9.sdk/x"}, "not inside an SDK"},
        {{"Copy", "/a", "/X/SDKs/etc/cron.d/evil"}, "not inside an SDK"},
        {{"Remove", "/X/SDKs/MacOSX.sdk/x", ""}, "not inside an SDK"},
        {{"Remove", "/X/SDKs/MacOSX0.9.sdk/x", ""}, "not inside an SDK"},
        {{"Remove", "/X/SDKs/Backup1.9.zip/x", ""}, "not inside an SDK"},
        {{"Remove", "/X/SDKs/MacOSX10.9.SDK/x", ""}, "not inside an SDK"},
        {{"Remove", "/X/SDKs/.MacOSX10.9.sdk/x", ""}, "not inside an SDK"},
        // An undo names an SDK of the SDK directory, and nothing else.
        {{"Undo", "/X/SDKs/MacOSX10.9.sdk", "/y"}, "empty second operand"},
        {{"Undo", "/X/SDKs/MacOSX10.9.sdk/System", ""}, "not an SDK"},
        {{"Undo", "/X/SDKs/notes", ""}, "not an SDK"},
        {{"Undo", "/X/SDKs", ""}, "not an SDK"},
        {{"Undo", "/X/SDKs/../MacOSX10.9.sdk", ""}, "absolute"},
    };
    for (const auto &c : cases) {
        const std::string reason = refusalOf(c.list);
        EXPECT_NE(reason.find(c.named), std::string::npos)
            << "refusal \"" << reason << "\" should mention \"" << c.named << '"';
    }
}

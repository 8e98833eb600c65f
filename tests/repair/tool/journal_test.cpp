// The journal's text is what an undo reads back, possibly in a later run of
// another version of Tool: its lines keep their spelling.

#include "journal.h"

#include <gtest/gtest.h>

namespace {

const std::string header = "tarnwick-journal 1\n";

} // namespace

TEST(Journal, SpellsEachStepAsTheActionListDoesAndReadsItBack)
{
    const struct {
        JournalStep step;
        const char *line;
    } cases[] = {
        {{Verb::copy, "/S/MacOSX10.6.sdk/a b", "/S/MacOSX10.9.sdk/a b", {}, false},
         R"(Copy "/S/MacOSX10.6.sdk/a b" "/S/MacOSX10.9.sdk/a b")"},
        {{Verb::move, "/S/MacOSX10.9.sdk/Headers", "/S/MacOSX10.9.sdk/Headers_orig", {}, false},
         R"(Move "/S/MacOSX10.9.sdk/Headers" "/S/MacOSX10.9.sdk/Headers_orig")"},
        {{Verb::remove, "/S/MacOSX10.9.sdk/x\n\"y\"", "/S/MacOSX10.9.sdk/.x.tarnwick-remove", {}, false},
         R"(Remove "/S/MacOSX10.9.sdk/x\n\"y\"" "/S/MacOSX10.9.sdk/.x.tarnwick-remove")"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(stepLine(c.step), c.line);
        const auto contents = parseJournal(header + c.line + "\ndone\n");
        ASSERT_TRUE(contents) << c.line;
        ASSERT_EQ(contents->steps.size(), 1u);
        const JournalStep &read = contents->steps.front();
        EXPECT_EQ(read.verb, c.step.verb) << c.line;
        EXPECT_EQ(read.first, c.step.first);
        EXPECT_EQ(read.second, c.step.second);
        EXPECT_TRUE(read.done);
    }
}

TEST(Journal, RefusesAStepOfAVerbItNeverWrites)
{
    for (const char *line : {R"(Undo "/S/MacOSX10.9.sdk" "")", R"(copy "/a" "/b")", R"(Delete "/a" "")"}) {
        EXPECT_FALSE(parseJournal(header + line + "\n")) << line;
    }
}

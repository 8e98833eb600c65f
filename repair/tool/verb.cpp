#include "verb.h"

namespace {

struct Spelling {
    Verb verb;
    std::string_view word;
};

// Both ways of the conversion read this one table, so they cannot drift apart.
constexpr Spelling spellings[] = {
    {Verb::copy, "Copy"},
    {Verb::move, "Move"},
    {Verb::remove, "Remove"},
    {Verb::undo, "Undo"},
};

} // namespace

std::optional<Verb> verbNamed(std::string_view word)
{
    for (const Spelling &spelling : spellings) {
        if (spelling.word == word)
            return spelling.verb;
    }
    return std::nullopt;
}

std::string wordOf(Verb verb)
{
    for (const Spelling &spelling : spellings) {
        if (spelling.verb == verb)
            return std::string(spelling.word);
    }
    return {};
}

#pragma once

#include <optional>
#include <string>
#include <string_view>

// What an action does. Read from its word once, when the list is checked;
// the word itself is what the action list and the journal hold.
enum class Verb {
    copy,
    move,
    remove,
    undo,
};

// The verb a word names: "Copy", "Move", "Remove" or "Undo", exactly.
std::optional<Verb> verbNamed(std::string_view word);

std::string wordOf(Verb verb);

#pragma once

#include <string>
#include <string_view>

// Header bytes as Mac OS Roman text, by Apple's current table (0xDB is the
// euro sign, 0xF0 the Apple logo U+F8FF). Every byte has a character, so
// decoding never fails; bytes below 0x80 are ASCII.
std::u16string decodeMacRoman(std::string_view bytes);
// The same into text, whose room is kept for the next one.
void decodeMacRoman(std::string_view bytes, std::u16string &text);

char16_t macRomanCharacter(unsigned char byte);

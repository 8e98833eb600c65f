#pragma once

// A header's text as the rule states it, by ICU's own conversion: UTF-8
// when the bytes hold no ill-formed sequence, Mac OS Roman otherwise.

#include "mac_roman.h"

#include <string>
#include <string_view>
#include <unicode/ustring.h>

inline bool obviouslyUtf8(std::string_view bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8WithSub(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), U_SENTINEL, nullptr,
                         &status);
    return status != U_INVALID_CHAR_FOUND && status != U_ILLEGAL_CHAR_FOUND;
}

inline std::u16string obviousText(std::string_view bytes)
{
    if (!obviouslyUtf8(bytes))
        return decodeMacRoman(bytes);
    std::u16string text(bytes.size(), u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(text.data(), static_cast<int32_t>(text.size()), &length, bytes.data(),
                  static_cast<int32_t>(bytes.size()), &status);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

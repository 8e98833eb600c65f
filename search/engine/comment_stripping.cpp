#include "comment_stripping.h"

std::u16string removeCommentLinesFromString(std::u16string_view text)
{
    return comments::removeLines(text);
}

std::u16string removeCommentBlocksFromString(std::u16string_view text)
{
    return comments::removeBlocks(text);
}

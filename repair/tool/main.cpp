// The only part of Tool built once for each program, since each program has
// an SDK directory of its own.

#include "tool_run.h"

#include <cstdlib>

namespace {

std::string sdkDirectory()
{
#ifdef TOOL_SDK_DIRECTORY_VARIABLE
    if (const char *folder = std::getenv(TOOL_SDK_DIRECTORY_VARIABLE); folder && *folder)
        return folder;
#endif
    return TOOL_SDK_DIRECTORY;
}

} // namespace

int main(int argc, char **argv)
{
    return runTool({argv + 1, argv + argc}, sdkDirectory());
}

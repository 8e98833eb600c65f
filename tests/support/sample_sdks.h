#pragma once

#include <string>

// Builds "MacOSX<osNum>.sdk" in sdkDirectory the way that generation of SDK
// lays out the frameworks a fix touches: QuickDraw with ColorSyncDeprecated.h,
// ColorSync, PrintCore and Print with their umbrella headers, binaries up to
// 10.10 and ".tbd" stubs from 10.11, QuickTime up to 10.13, the usual
// framework links, a few odd permissions, and contents that name the SDK so
// that no two SDKs hold the same file. The 10.6 SDK also holds the
// deprecated headers that a fix copies from it.
void makeSampleSdk(const std::string &sdkDirectory, const std::string &osNum);

// The SDK-name parsers of both applications: neither crashes on any name,
// and both read the same minor number from every name that is valid UTF-8,
// as they must, reading names the same way.

#include "sdk_catalogue.h"
#include "sdk_discovery.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unicode/utf8.h>

namespace {

bool isValidUtf8(const std::uint8_t *data, std::size_t size)
{
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(size);) {
        UChar32 c;
        U8_NEXT(data, i, static_cast<std::int32_t>(size), c);
        if (c < 0)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view name(reinterpret_cast<const char *>(data), size);
    std::int64_t major = 0, minor = 0;
    sdkGetMajorNumMinorNum(name, major, minor);
    const qint64 tarnwickMinor = SdkCatalogue::osMinorNumFromSDK(QString::fromUtf8(name.data(), static_cast<qsizetype>(size)));
    if (isValidUtf8(data, size) && name.find('\0') == std::string_view::npos && tarnwickMinor != minor)
        std::abort();
    return 0;
}

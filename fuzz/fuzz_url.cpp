// Splits any bytes as a URL held in a buffer of their exact size and checks
// that accepted parts are terminated within their fields and hold nothing
// that would change the request line (a control character or a space).
#include <cstdlib>
#include <cstring>
#include <memory>

#include "net/HttpBytes.h"

namespace {

bool HoldsControlOrSpace(const char* field) {
    for (; *field != '\0'; ++field) {
        if (static_cast<unsigned char>(*field) <= ' ' || *field == 0x7F)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> url(new char[size ? size : 1]);
    std::memcpy(url.get(), data, size);
    kvnet::UrlParts parts;
    if (!kvnet::ParseHttpUrl(url.get(), size, &parts))
        return 0;
    if (strnlen(parts.host, sizeof(parts.host)) == sizeof(parts.host) ||
        strnlen(parts.path, sizeof(parts.path)) == sizeof(parts.path) || parts.path[0] != '/' ||
        parts.port < 0 || HoldsControlOrSpace(parts.host) || HoldsControlOrSpace(parts.path))
        std::abort();
    return 0;
}

// Feeds any bytes to the in-place chunked decoder inside a buffer of exactly
// their size, so that the sanitizer sees every access outside it, and checks
// the result against a plain decoder that copies into a fresh string.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "net/HttpBytes.h"

namespace {

// The same rules, written for clarity instead of working in place.
bool ReferenceDecode(const std::string& raw, std::string* decoded) {
    size_t position = 0;
    while (position < raw.size()) {
        const size_t lineEnd = raw.find("\r\n", position);
        if (lineEnd == std::string::npos)
            return false;
        const std::string line = raw.substr(position, lineEnd - position);
        const size_t digits = line.find_first_not_of("0123456789abcdefABCDEF");
        const std::string hex = line.substr(0, digits);
        if (hex.empty())
            return false;
        const size_t significant = hex.find_first_not_of('0');
        if (significant != std::string::npos && hex.size() - significant > 16)
            return false;
        const unsigned long long size = std::strtoull(hex.c_str(), nullptr, 16);
        if (size == 0)
            return true;
        const size_t start = lineEnd + 2;
        if (size > raw.size() - start)
            return false;
        decoded->append(raw, start, size);
        position = start + size + 2;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> buffer(new char[size ? size : 1]);
    std::memcpy(buffer.get(), data, size);
    size_t decodedLength = 0;
    const bool decoded =
        kvnet::DecodeChunkedInPlace(buffer.get(), size, &decodedLength) == kvnet::ChunkedResult::Ok;

    std::string expected;
    const bool referenceDecoded =
        ReferenceDecode(std::string(reinterpret_cast<const char*>(data), size), &expected);
    if (decoded != referenceDecoded)
        std::abort();
    if (decoded && (decodedLength != expected.size() ||
                    std::memcmp(buffer.get(), expected.data(), decodedLength) != 0))
        std::abort();

    // Followed as it arrives, in pieces whose size the first byte picks, the
    // stream may end only where the decoder accepts it.
    // Its payload, moved within each piece, is what the decoder gives.
    kvnet::ChunkedTracker tracker;
    const size_t piece = size > 0 ? data[0] % 7 + 1 : 1;
    auto progress = kvnet::ChunkedTracker::Progress::NeedMore;
    std::string payload;
    for (size_t at = 0; at < size && progress == kvnet::ChunkedTracker::Progress::NeedMore;
         at += piece) {
        const size_t count = std::min(piece, size - at);
        std::unique_ptr<char[]> bytes(new char[count]);
        std::memcpy(bytes.get(), data + at, count);
        size_t payloadLength = 0;
        progress = tracker.Feed(bytes.get(), count, bytes.get(), &payloadLength);
        if (payloadLength > count)
            std::abort();
        payload.append(bytes.get(), payloadLength);
    }
    if (progress == kvnet::ChunkedTracker::Progress::Complete && (!decoded || payload != expected))
        std::abort();
    if (progress == kvnet::ChunkedTracker::Progress::Malformed && decoded)
        std::abort();
    return 0;
}

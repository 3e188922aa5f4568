// Feeds any bytes to the streaming chunked decoder in pieces whose size the
// first byte picks, each piece in a buffer of exactly its size so that the
// sanitizer sees every access outside it, and checks the outcome and the
// payload against a plain decoder that reads the whole input at once.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "net/HttpBytes.h"

namespace {

using Progress = kvnet::ChunkedTracker::Progress;
constexpr size_t npos = std::string::npos;

// After the last chunk, trailer lines run until an empty one.
Progress ReferenceTrailer(const std::string& raw, size_t position) {
    for (;;) {
        const size_t lineEnd = raw.find("\r\n", position);
        if (lineEnd == npos)
            return Progress::NeedMore;
        if (lineEnd == position)
            return Progress::Complete;
        position = lineEnd + 2;
    }
}

// The same rules, written for clarity instead of byte by byte. A size line
// is refused as soon as its first byte or its seventeenth significant digit
// is in; `payload` gets the chunk data that arrived before the outcome.
Progress ReferenceDecode(const std::string& raw, std::string* payload) {
    size_t position = 0;
    for (;;) {
        const size_t lineEnd = raw.find("\r\n", position);
        const std::string line = raw.substr(position, lineEnd == npos ? npos : lineEnd - position);
        const std::string hex = line.substr(0, line.find_first_not_of("0123456789abcdefABCDEF"));
        const size_t significant = hex.find_first_not_of('0');
        if ((hex.empty() && (!line.empty() || lineEnd != npos)) ||
            (significant != npos && hex.size() - significant > 16))
            return Progress::Malformed;
        if (lineEnd == npos)
            return Progress::NeedMore;
        const unsigned long long size = std::strtoull(hex.c_str(), nullptr, 16);
        position = lineEnd + 2;
        if (size == 0)
            return ReferenceTrailer(raw, position);
        payload->append(raw, position, size);
        if (raw.size() - position < 2 || size > raw.size() - position - 2)
            return Progress::NeedMore;
        position += size + 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string expected;
    const Progress outcome =
        ReferenceDecode(std::string(reinterpret_cast<const char*>(data), size), &expected);

    kvnet::ChunkedTracker tracker;
    const size_t piece = size > 0 ? data[0] % 7 + 1 : 1;
    Progress progress = Progress::NeedMore;
    std::string payload;
    for (size_t at = 0; at < size && progress == Progress::NeedMore; at += piece) {
        const size_t count = std::min(piece, size - at);
        std::unique_ptr<char[]> bytes(new char[count]);
        std::memcpy(bytes.get(), data + at, count);
        size_t payloadLength = 0;
        progress = tracker.Feed(bytes.get(), count, bytes.get(), &payloadLength);
        if (payloadLength > count)
            std::abort();
        payload.append(bytes.get(), payloadLength);
    }
    if (progress != outcome || payload != expected)
        std::abort();
    return 0;
}

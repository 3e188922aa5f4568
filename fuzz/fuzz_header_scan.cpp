// Delivers any bytes as a reply header in pieces of a size chosen by the
// first byte, as the receive loop does, then reads the status, the transfer
// coding and the announced length from the header text held in a buffer of
// its exact size.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "net/HttpBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const size_t pieceSize = 1 + data[0] * 4;
    const char* reply = reinterpret_cast<const char*>(data + 1);
    const size_t replyLength = size - 1;

    std::unique_ptr<char[]> header(new char[kvnet::kReplyHeaderCapacity]());
    size_t held = 0;
    size_t headerEnd = 0;
    kvnet::HeaderScan scan = kvnet::HeaderScan::NeedMore;
    for (size_t offset = 0; offset < replyLength && scan == kvnet::HeaderScan::NeedMore;
         offset += pieceSize) {
        const size_t count = (std::min)(pieceSize, replyLength - offset);
        scan = kvnet::AppendHeaderBytes(header.get(), kvnet::kReplyHeaderCapacity, &held,
                                        reply + offset, count, &headerEnd);
    }
    if (held >= kvnet::kReplyHeaderCapacity)
        std::abort();
    if (scan != kvnet::HeaderScan::Complete)
        return 0;
    if (headerEnd + 4 > held || std::memcmp(header.get() + headerEnd, "\r\n\r\n", 4) != 0)
        std::abort();

    std::unique_ptr<char[]> text(new char[headerEnd ? headerEnd : 1]);
    std::memcpy(text.get(), header.get(), headerEnd);
    const int status = kvnet::ParseStatusCode(text.get(), headerEnd);
    if (status < -1 || status > 999)
        std::abort();
    kvnet::HasChunkedCoding(text.get(), headerEnd);
    uint64_t announced = 0;
    kvnet::FindContentLength(text.get(), headerEnd, &announced);
    return 0;
}

// The byte-level rules of the client against what a hostile server sends.
#include <gtest/gtest.h>

#include <string>

#include "net/HttpBytes.h"

using namespace kvnet;

TEST(ChunkedBody, DecodingAndTheEndOfTheStreamAgree) {
    using P = ChunkedTracker::Progress;
    const std::string z26(26, 'z');
    const struct {
        std::string raw;
        ChunkedResult decoded;
        P tracked; // fed whole and byte by byte
        std::string text;
    } cases[] = {
        {"5\r\nhello\r\n0\r\n\r\n", ChunkedResult::Ok, P::Complete, "hello"},
        {"5;a=b\r\nhello\r\n1A\r\n" + z26 + "\r\n0\r\nTrailer: x\r\n\r\n", ChunkedResult::Ok,
         P::Complete, "hello" + z26},
        // The last chunk is in, its trailer section is not ended yet.
        {"5\r\nhello\r\n0\r\nTrailer: x\r\n", ChunkedResult::Ok, P::NeedMore, "hello"},
        {"-5\r\nhello\r\n0\r\n\r\n", ChunkedResult::Malformed, P::Malformed, ""},
        {"\r\nhello\r\n0\r\n\r\n", ChunkedResult::Malformed, P::Malformed, ""},
        {"10000000000000000\r\nab\r\n0\r\n\r\n", ChunkedResult::Malformed, P::Malformed, ""},
        {"6\r\nhello\r\n0\r\n\r\n", ChunkedResult::Malformed, P::Malformed, ""},
        {"FFFFFFFFFFFFFFFF\r\nab\r\n", ChunkedResult::Incomplete, P::NeedMore, ""},
        {"5\r\nhello\r\n0", ChunkedResult::Incomplete, P::NeedMore, ""},
        {"", ChunkedResult::Incomplete, P::NeedMore, ""},
    };
    for (const auto& c : cases) {
        std::string buffer = c.raw + "GUARD";
        size_t length = 0;
        EXPECT_EQ(c.decoded, DecodeChunkedInPlace(&buffer[0], c.raw.size(), &length)) << c.raw;
        EXPECT_EQ("GUARD", buffer.substr(c.raw.size())) << c.raw;
        if (c.decoded == ChunkedResult::Ok) {
            EXPECT_EQ(c.text, buffer.substr(0, length));
        }
        ChunkedTracker whole, bytewise;
        EXPECT_EQ(c.tracked, whole.Feed(c.raw.data(), c.raw.size())) << c.raw;
        P progress = P::NeedMore;
        std::string payload;
        for (char byte : c.raw) {
            size_t count = 0;
            progress = bytewise.Feed(&byte, 1, &byte, &count);
            payload.append(&byte, count);
        }
        EXPECT_EQ(c.tracked, progress) << c.raw;
        if (progress == P::Complete) {
            EXPECT_EQ(c.text, payload);
        }
    }
}

// A blank line may straddle two reads; a read larger than the room left
// (2048 bytes, the terminator included) stops at the capacity.
TEST(ReplyHeader, FindsTheBlankLineAcrossReadsAndStopsAtTheCapacity) {
    char header[kReplyHeaderCapacity] = {};
    size_t held = 0, end = 0;
    EXPECT_EQ(HeaderScan::NeedMore,
              AppendHeaderBytes(header, sizeof(header), &held, "HTTP/1.1 200 OK\r\n\r", 18, &end));
    EXPECT_EQ(HeaderScan::Complete,
              AppendHeaderBytes(header, sizeof(header), &held, "\nbody", 5, &end));
    EXPECT_EQ(15u, end);
    const std::string read(1024, 'h');
    held = 0;
    EXPECT_EQ(HeaderScan::NeedMore,
              AppendHeaderBytes(header, sizeof(header), &held, read.data(), 1024, &end));
    EXPECT_EQ(HeaderScan::TooLong,
              AppendHeaderBytes(header, sizeof(header), &held, read.data(), 1024, &end));
}

// The first Content-Length line counts, without regard to case; a value too
// large for 64 bits is held at the largest rather than wrapping round.
TEST(ReplyHeader, ReadsTheAnnouncedLength) {
    const struct {
        std::string header;
        bool found;
        uint64_t value;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nX-Content-Length: 1\r\ncontent-LENGTH:  42\r\nContent-Length: 7", true,
         42},
        {"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999", true, UINT64_MAX},
        {"HTTP/1.1 200 OK\r\nContent-Length: x1", false, 0},
        {"HTTP/1.1 200 OK\r\nContent-Length:", false, 0},
    };
    for (const auto& c : cases) {
        uint64_t value = 0;
        EXPECT_EQ(c.found, FindContentLength(c.header.data(), c.header.size(), &value)) << c.header;
        EXPECT_EQ(c.value, value) << c.header;
    }
}

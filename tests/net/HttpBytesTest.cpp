// The byte-level rules of the client against what a hostile server sends.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "net/HttpBytes.h"

using namespace kvnet;

// Fed whole or byte by byte, a hostile body ends, fails or waits alike.
TEST(ChunkedBody, EndsOnlyAfterItsTrailerAndRefusesBadSizes) {
    using P = ChunkedTracker::Progress;
    const std::string z26(26, 'z');
    const std::pair<std::string, P> cases[] = {
        {"5;a=b\r\nhello\r\n1A\r\n" + z26 + "\r\n0\r\nTrailer: x\r\n\r\n", P::Complete},
        // The last chunk is in, its trailer section is not ended yet.
        {"5\r\nhello\r\n0\r\nTrailer: x\r\n", P::NeedMore},
        {"-5\r\nhello\r\n0\r\n\r\n", P::Malformed},
        {"10000000000000000\r\nab\r\n0\r\n\r\n", P::Malformed},
        {"6\r\nhello\r\n0\r\n\r\n", P::Malformed},
        {"FFFFFFFFFFFFFFFF\r\nab\r\n", P::NeedMore},
    };
    for (const auto& [raw, expected] : cases) {
        ChunkedTracker whole, bytewise;
        EXPECT_EQ(expected, whole.Feed(raw.data(), raw.size())) << raw;
        P progress = P::NeedMore;
        std::string payload;
        for (char byte : raw) {
            size_t count = 0;
            progress = bytewise.Feed(&byte, 1, &byte, &count);
            payload.append(&byte, count);
        }
        EXPECT_EQ(expected, progress) << raw;
        if (progress == P::Complete) {
            EXPECT_EQ("hello" + z26, payload);
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

// The byte-level rules of the client, including what a hostile server sends.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/HttpBytes.h"

using namespace kvnet;

TEST(HttpUrl, SplitsHostPortAndPathAndRefusesTheRest) {
    const struct {
        const char* url;
        const char* host;
        int port;
        const char* path;
    } accepted[] = {{"HTTP://Server/x", "Server", 80, "/x"},
                    {"http://server:8080/a/b?x=1", "server", 8080, "/a/b?x=1"},
                    {"http://server/a:99", "server", 80, "/a:99"}};
    UrlParts parts;
    for (const auto& c : accepted) {
        ASSERT_TRUE(ParseHttpUrl(c.url, std::strlen(c.url), &parts)) << c.url;
        EXPECT_STREQ(c.host, parts.host);
        EXPECT_EQ(c.port, parts.port);
        EXPECT_STREQ(c.path, parts.path);
    }
    const std::string refused[] = {"http://server", "https://server/x",
                                   "http://h/" + std::string(1022, 'p')};
    for (const std::string& url : refused)
        EXPECT_FALSE(ParseHttpUrl(url.c_str(), url.size(), &parts)) << url;
}

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
        for (char byte : c.raw)
            progress = bytewise.Feed(&byte, 1);
        EXPECT_EQ(c.tracked, progress) << c.raw;
    }
}

TEST(Base64, EncodesThreeBytePiecesAndPadsTheLast) {
    const unsigned char bytes[] = {'a', 'b', 'c', 0xFF, 0xFE, 0xFD};
    char out[13] = {};
    EncodeBase64Piece(bytes, 3, out);
    EncodeBase64Piece(bytes + 3, 3, out + 4);
    EncodeBase64Piece(bytes, 2, out + 8);
    EXPECT_STREQ("YWJj//79YWI=", out);
}

TEST(ReplyHeader, FindsTheBlankLineAcrossReadsAndStopsAtTheCapacity) {
    char header[kReplyHeaderCapacity] = {};
    size_t held = 0, end = 0;
    EXPECT_EQ(HeaderScan::NeedMore,
              AppendHeaderBytes(header, sizeof(header), &held, "HTTP/1.1 200 OK\r\n\r", 18, &end));
    EXPECT_EQ(HeaderScan::Complete,
              AppendHeaderBytes(header, sizeof(header), &held, "\nbody", 5, &end));
    EXPECT_EQ(15u, end);
    // 1500 bytes arriving in two reads of 1024 reach the capacity.
    const std::string read(1024, 'h');
    held = 0;
    EXPECT_EQ(HeaderScan::NeedMore,
              AppendHeaderBytes(header, sizeof(header), &held, read.data(), 1024, &end));
    EXPECT_EQ(HeaderScan::TooLong,
              AppendHeaderBytes(header, sizeof(header), &held, read.data(), 1024, &end));
}

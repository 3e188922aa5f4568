// The byte-level rules of the client, including what a hostile server sends.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/HttpBytes.h"

using namespace kvnet;

TEST(HttpUrl, SplitsHostPortAndPath) {
    UrlParts parts;
    ASSERT_TRUE(ParseHttpUrl("HTTP://Server/x", 15, &parts));
    EXPECT_STREQ("Server", parts.host);
    EXPECT_EQ(80, parts.port);
    EXPECT_STREQ("/x", parts.path);
    const char* withPort = "http://server:8080/a/b?x=1";
    ASSERT_TRUE(ParseHttpUrl(withPort, std::strlen(withPort), &parts));
    EXPECT_STREQ("server", parts.host);
    EXPECT_EQ(8080, parts.port);
    EXPECT_STREQ("/a/b?x=1", parts.path);
    const char* colonInPath = "http://server/a:99";
    ASSERT_TRUE(ParseHttpUrl(colonInPath, std::strlen(colonInPath), &parts));
    EXPECT_EQ(80, parts.port);
    EXPECT_STREQ("/a:99", parts.path);
}

TEST(HttpUrl, RefusesOtherSchemesMissingPathAndOverlongUrls) {
    UrlParts parts;
    EXPECT_FALSE(ParseHttpUrl("http://server", 13, &parts));
    EXPECT_FALSE(ParseHttpUrl("https://server/x", 16, &parts));
    EXPECT_FALSE(ParseHttpUrl(nullptr, 5, &parts));
    const std::string longest = "http://h/" + std::string(1021, 'p');
    EXPECT_TRUE(ParseHttpUrl(longest.c_str(), longest.size(), &parts));
    EXPECT_EQ(1022u, std::strlen(parts.path));
    const std::string tooLong = longest + "p";
    EXPECT_FALSE(ParseHttpUrl(tooLong.c_str(), tooLong.size(), &parts));
}

namespace {

// Decodes `raw` in a buffer with guard bytes behind it; the guards must stay.
ChunkedResult Decode(const std::string& raw, std::string* decoded) {
    std::string buffer = raw + "GUARD";
    size_t length = 0;
    ChunkedResult result = DecodeChunkedInPlace(&buffer[0], raw.size(), &length);
    EXPECT_EQ("GUARD", buffer.substr(raw.size()));
    if (result == ChunkedResult::Ok)
        *decoded = buffer.substr(0, length);
    return result;
}

} // namespace

TEST(ChunkedDecoding, JoinsChunksAndIgnoresExtensionsAndTrailers) {
    std::string text;
    ASSERT_EQ(ChunkedResult::Ok, Decode("5\r\nhello\r\n0\r\n\r\n", &text));
    EXPECT_EQ("hello", text);
    ASSERT_EQ(ChunkedResult::Ok, Decode("5;name=value\r\nhello\r\n1A\r\n" + std::string(26, 'z') +
                                            "\r\n0\r\nTrailer: x\r\n\r\n",
                                        &text));
    EXPECT_EQ("hello" + std::string(26, 'z'), text);
}

TEST(ChunkedDecoding, RefusesHostileSizesWithoutLeavingTheData) {
    std::string text;
    const char* malformed[] = {"-5\r\nhello\r\n0\r\n\r\n", " 5\r\nhello\r\n0\r\n\r\n",
                               "x5\r\nhello\r\n0\r\n\r\n", "\r\nhello\r\n0\r\n\r\n",
                               "10000000000000000\r\nab\r\n0\r\n\r\n"};
    for (const char* raw : malformed)
        EXPECT_EQ(ChunkedResult::Malformed, Decode(raw, &text)) << raw;
    const char* incomplete[] = {"FFFFFFFFFFFFFFFF\r\nab\r\n",
                                "FFFFFFFFFFFFFFFE\r\nab",
                                "6\r\nhello",
                                "5\r\nhello\r\n",
                                "5\r\nhello\r\n0",
                                "5",
                                ""};
    for (const char* raw : incomplete)
        EXPECT_EQ(ChunkedResult::Incomplete, Decode(raw, &text)) << raw;
}

TEST(Base64, EncodesThreeBytePieces) {
    const unsigned char abcd[] = {'a', 'b', 'c', 'd'};
    char out[9] = {};
    EncodeBase64Piece(abcd, 3, out);
    EncodeBase64Piece(abcd + 3, 1, out + 4);
    EXPECT_STREQ("YWJjZA==", out);
    EncodeBase64Piece(abcd, 2, out);
    EXPECT_EQ("YWI=", std::string(out, 4));
    const unsigned char high[] = {0xFF, 0xFE, 0xFD};
    EncodeBase64Piece(high, 3, out);
    EXPECT_EQ("//79", std::string(out, 4));
}

TEST(ReplyHeader, FindsTheBlankLineAcrossReadsAndStopsAtTheCapacity) {
    char header[kReplyHeaderCapacity] = {};
    size_t held = 0;
    size_t end = 0;
    EXPECT_EQ(HeaderScan::NeedMore,
              AppendHeaderBytes(header, sizeof(header), &held, "HTTP/1.1 200 OK\r\n\r", 18, &end));
    EXPECT_EQ(HeaderScan::Complete,
              AppendHeaderBytes(header, sizeof(header), &held, "\nbody", 5, &end));
    EXPECT_EQ(15u, end);

    // 1500 bytes arriving in two reads of 1024 reach the capacity.
    const std::string read(1024, 'h');
    held = 0;
    std::memset(header, 0, sizeof(header));
    EXPECT_EQ(HeaderScan::NeedMore,
              AppendHeaderBytes(header, sizeof(header), &held, read.data(), 1024, &end));
    EXPECT_EQ(HeaderScan::TooLong,
              AppendHeaderBytes(header, sizeof(header), &held, read.data(), 1024, &end));
}

TEST(ReplyHeader, ReadsStatusAndChunkedCoding) {
    auto status = [](const std::string& h) { return ParseStatusCode(h.data(), h.size()); };
    EXPECT_EQ(204, status("HTTP/1.1 204 No Content"));
    EXPECT_EQ(20, status("HTTP/1.1 20"));
    EXPECT_EQ(-1, status("HTTP/1.1"));
    EXPECT_FALSE(IsSuccessStatus(status("HTTP/1.1 301 Moved")));

    auto chunked = [](const std::string& h) { return HasChunkedCoding(h.data(), h.size()); };
    EXPECT_TRUE(chunked("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nX: y"));
    EXPECT_TRUE(chunked("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked"));
    EXPECT_FALSE(chunked("HTTP/1.1 200 OK\r\ntransfer-encoding: chunked"));
    EXPECT_FALSE(chunked("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunkedX"));
}

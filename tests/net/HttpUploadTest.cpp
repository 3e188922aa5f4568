// CHttpUpload against real servers on 127.0.0.1.
#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "NetTestFiles.h"
#include "net/HttpUpload.h"

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r>text</r>";

std::vector<std::string> Split(const std::string& text, size_t pieceSize) {
    std::vector<std::string> pieces;
    for (size_t at = 0; at < text.size(); at += pieceSize)
        pieces.push_back(text.substr(at, pieceSize));
    return pieces;
}

ReplyScript Answer(const std::string& reply, size_t pieceSize = 1 << 16, int pauseMs = 0) {
    ReplyScript script;
    script.pieces = Split(reply, pieceSize);
    script.pauseMs = pauseMs;
    return script;
}

// One exchange with the field a=1; the reply text as a string, or "(null)".
std::string Exchange(CHttpUpload& upload, CLoopbackServer& server, int* length = nullptr) {
    const std::string url = server.Url("/p");
    EXPECT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
    upload.AddFormData("a", "1");
    upload.Request();
    int received = -1;
    const char* reply = upload.RetRecvDataPt(&received);
    if (length != nullptr)
        *length = received;
    return reply != nullptr ? std::string(reply, received) : "(null)";
}

} // namespace

TEST(HttpUpload, SendsFilePartsRawAndInBase64AndCreatesAMissingFile) {
    const std::string base64File = FreshTempPath();
    const std::string rawFile = FreshTempPath();
    const std::string missingFile = FreshTempPath();
    WriteWholeFile(base64File, "abcd");
    WriteWholeFile(rawFile, std::string("x\0y", 3));
    CLoopbackServer server(Answer(MakeReply("200 OK", "", kXml)));
    CHttpUpload upload;
    const std::string url = server.Url("/up");
    ASSERT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
    EXPECT_TRUE(upload.AddFormFile("b", base64File.c_str(), TRUE));
    EXPECT_TRUE(upload.AddFormFile("r", rawFile.c_str(), FALSE));
    EXPECT_TRUE(upload.AddFormFile("m", missingFile.c_str(), FALSE));
    EXPECT_TRUE(upload.Request());
    EXPECT_STREQ(kXml, upload.RetRecvDataPt());

    const std::string request = server.Request();
    auto part = [](const char* name, const std::string& path, const char* extra) {
        return "--FORM_BOUNDARY\r\ncontent-disposition: form-data; name=\"" + std::string(name) +
               "\"; filename=\"" + path.substr(path.rfind('\\') + 1) + "\"\r\n" + extra + "\r\n";
    };
    const std::string body = part("b", base64File, "Content-Transfer-Encoding: Base64\r\n") +
                             "YWJjZA==\r\n" + part("r", rawFile, "") + std::string("x\0y", 3) +
                             "\r\n" + part("m", missingFile, "") + "\r\n--FORM_BOUNDARY--\r\n";
    EXPECT_EQ(body, request.substr(request.find("\r\n\r\n") + 4));
    EXPECT_EQ("", ReadWholeFile(missingFile));
    EXPECT_TRUE(FileExists(missingFile));
    for (const std::string& path : {base64File, rawFile, missingFile})
        DeleteFileA(path.c_str());
}

TEST(HttpUpload, ReadsCloseDelimitedAndChunkedRepliesInSmallPieces) {
    CHttpUpload upload;
    CLoopbackServer plain(Answer(MakeReply("200 OK", "Content-Length: 5\r\n", kXml), 7, 1));
    EXPECT_EQ(kXml, Exchange(upload, plain));

    // The coding named on the header's last line counts too.
    CLoopbackServer chunked(
        Answer(MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", ChunkBody(kXml, 4)), 5, 1));
    int length = 0;
    EXPECT_EQ(kXml, Exchange(upload, chunked, &length));
    EXPECT_EQ(static_cast<int>(sizeof(kXml) - 1), length);
}

TEST(HttpUpload, RefusesFailedStatusesAndReturnsNullForAnEmptyBody) {
    CCapturedLog log;
    CHttpUpload upload;
    for (const char* status : {"301 Moved Permanently", "404 Not Found"}) {
        CLoopbackServer server(Answer(MakeReply(status, "", kXml)));
        EXPECT_EQ("(null)", Exchange(upload, server)) << status;
    }
    EXPECT_NE(std::string::npos, log.Text().find("ParseRetHeader ERROR"));
    CLoopbackServer noContent(Answer(MakeReply("204 No Content", "", "")));
    int length = -1;
    EXPECT_EQ("(null)", Exchange(upload, noContent, &length));
    EXPECT_EQ(0, length);
}

TEST(HttpUpload, FailsOnAnOverlongHeaderAndOnACloseBeforeTheBlankLine) {
    CCapturedLog log;
    CHttpUpload upload;
    CLoopbackServer overlong(
        Answer(MakeReply("200 OK", "X-Pad: " + std::string(2048, 'p') + "\r\n", kXml), 1024, 1));
    EXPECT_EQ("(null)", Exchange(upload, overlong));
    EXPECT_NE(std::string::npos, log.Text().find("Error header"));

    // Waiting again after the close would never end.
    CLoopbackServer early(Answer("HTTP/1.1 200 OK\r\nX: y\r\n"));
    EXPECT_EQ("(null)", Exchange(upload, early));
    EXPECT_NE(std::string::npos, log.Text().find("receive header closed"));
}

TEST(HttpUpload, RefusesAChunkedReplyWithoutItsLastChunk) {
    CHttpUpload upload;
    const std::string cut = ChunkBody(kXml, 8).substr(0, 30);
    CLoopbackServer server(Answer(MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", cut)));
    EXPECT_EQ("(null)", Exchange(upload, server));
}

TEST(HttpUpload, DoublesItsBufferForALargeReply) {
    std::string body = "<?xml version=\"1.0\"?><big>";
    while (body.size() < 10 * 1000 * 1000)
        body += "<i>" + std::to_string(body.size()) + "</i>";
    CLoopbackServer server(Answer(MakeReply("200 OK", "", body)));
    CHttpUpload upload;
    int length = 0;
    EXPECT_TRUE(Exchange(upload, server, &length) == body);
    EXPECT_EQ(static_cast<int>(body.size()), length);
    EXPECT_EQ(10240 * 1024, upload.GetBufSize());
}

TEST(HttpUpload, InitClosesThePreviousConnectionAndEmptiesTheBody) {
    CLoopbackServer first(Answer(""));
    CLoopbackServer second(Answer(MakeReply("200 OK", "", kXml)));
    CHttpUpload upload;
    std::string url = first.Url("/1");
    ASSERT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
    upload.AddFormData("gone", "x");
    url = second.Url("/2");
    ASSERT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
    EXPECT_EQ("", first.Request());
    upload.Request();
    EXPECT_STREQ(kXml, upload.RetRecvDataPt());
    const std::string request = second.Request();
    EXPECT_EQ("--FORM_BOUNDARY--\r\n", request.substr(request.find("\r\n\r\n") + 4));
}

TEST(HttpUpload, InitReportsRefusedUrlsAndConnections) {
    CHttpUpload upload;
    EXPECT_EQ(-6, upload.Init("http://server", 13));
    EXPECT_EQ(-6, upload.Init("https://server/x", 16));
    const std::string refused = "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/x";
    EXPECT_EQ(-5, upload.Init(refused.c_str(), static_cast<int>(refused.size())));
    EXPECT_FALSE(upload.IsConnected());
}

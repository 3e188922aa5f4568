// CHttpUpload against scripted servers on 127.0.0.1.
#include <gtest/gtest.h>

#include "NetTestKit.h"
#include <afx.h>
#include "net/HttpUpload.h"

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r>text</r>";

void Init(CHttpUpload& upload, const std::string& url) {
    ASSERT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
}

} // namespace

// Bytes with the high bit set encode as themselves, not as negative numbers.
// Init drops the previous connection and the fields added for it.
TEST(HttpUpload, SendsFilePartsInBase64AndCreatesAMissingFile) {
    ImageKit::TempFolder folder(L"kvnet");
    const std::wstring b64 = folder.File(L"b64"), missing = folder.File(L"m");
    ImageKit::WriteBytes(b64, "ab\xFF\xFE");
    CLoopbackServer first({""});
    CLoopbackServer server({MakeReply("200 OK", "", kXml)});
    CHttpUpload upload;
    Init(upload, first.Url("/1"));
    upload.AddFormData("gone", "x");
    Init(upload, server.Url("/up"));
    EXPECT_EQ("", first.Request());
    EXPECT_TRUE(upload.AddFormFile("b", CStringA(b64.c_str()), TRUE));
    EXPECT_TRUE(upload.AddFormFile("m", CStringA(missing.c_str()), FALSE));
    EXPECT_TRUE(upload.Request());
    EXPECT_STREQ(kXml, upload.RetRecvDataPt());
    const std::string& request = server.Request();
    const std::string part = "--FORM_BOUNDARY\r\ncontent-disposition: form-data; name=\"";
    EXPECT_EQ(part +
                  "b\"; filename=\"b64\"\r\nContent-Transfer-Encoding: Base64\r\n\r\nYWL//g==\r\n" +
                  part + "m\"; filename=\"m\"\r\n\r\n\r\n--FORM_BOUNDARY--\r\n",
              request.substr(request.find("\r\n\r\n") + 4));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(missing.c_str()));
}

TEST(HttpUpload, ReadsEachKindOfReplyAndLogsHowItEnded) {
    const std::string chunked = "Transfer-Encoding: chunked\r\n"; // also as the last header line
    const struct {
        std::string reply;
        bool holdOpen; // a chunked reply must end without the close
        std::string text;
        const char* logLine;
    } cases[] = {
        {MakeReply("200 OK", "Content-Length: 5\r\n", kXml), false, kXml, "nLen == 0"},
        {MakeReply("200 OK", chunked, ChunkBody(kXml, 4)), true, kXml, "last chunk"},
        {MakeReply("204 No Content", "", ""), false, "(null) 0", "RecvResponse end"},
        {MakeReply("200 OK", "X-Pad: " + std::string(2048, 'p') + "\r\n", kXml), false, "(null) 0",
         "Error header"},
        {"HTTP/1.1 200 OK\r\nX: y\r\n", false, "(null) 0", "receive header closed"},
        {MakeReply("200 OK", chunked, "x\r\n"), false, "(null) 0", "broken chunked body"},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server({c.reply, 5, 1, c.holdOpen}); // pieces of 5 bytes, 1 ms apart
        CHttpUpload upload;
        Init(upload, server.Url("/p"));
        upload.AddFormData("a", "1");
        upload.Request();
        int length = -1;
        const char* reply = upload.RetRecvDataPt(&length);
        EXPECT_EQ(c.text, reply ? std::string(reply, length) : "(null) " + std::to_string(length))
            << c.reply;
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << c.reply;
        EXPECT_TRUE(!c.holdOpen || !upload.IsConnected()) << c.reply;
    }
}

// A server that drips its header or body fails the receive at the limit (its
// drip would last 10 s); one that keeps up the pace over several windows
// does not.
TEST(HttpUpload, ADripFeedingServerFailsAtTheLimits) {
    const KvReceiveLimits limits = {1000, 300, 32};
    const std::string body(500, 'b');
    const struct {
        std::string reply;
        size_t pieceSize; // sent every 20 ms
        const char* logLine;
    } cases[] = {
        {MakeReply("200 OK", "X-Pad: " + body + "\r\n", ""), 1, "receive header too slow"},
        {MakeReply("200 OK", "", body), 1, "recv content too slow"},
        {MakeReply("200 OK", "", body), 10, "recv content nLen == 0"},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server({c.reply, c.pieceSize, 20});
        CHttpUpload upload;
        Init(upload, server.Url("/p"));
        upload.Request();
        std::string received;
        const BOOL ok = upload.ReceiveBody(
            [&](const char* data, int count) {
                received.append(data, count);
                return true;
            },
            limits);
        const bool paced = c.pieceSize > 1;
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << c.logLine;
        EXPECT_EQ(paced, ok != FALSE) << c.logLine;
        EXPECT_TRUE(!paced || received == body) << received;
    }
}

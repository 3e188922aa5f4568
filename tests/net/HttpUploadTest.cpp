// CHttpUpload against scripted servers on 127.0.0.1.
#include <gtest/gtest.h>

#include "NetTestKit.h"
#include "net/HttpUpload.h"

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r>text</r>";

// One exchange with the field a=1; the reply text, or "(null)".
std::string Exchange(CHttpUpload& upload, CLoopbackServer& server) {
    const std::string url = server.Url("/p");
    EXPECT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
    upload.AddFormData("a", "1");
    upload.Request();
    int length = -1;
    const char* reply = upload.RetRecvDataPt(&length);
    return reply != nullptr ? std::string(reply, length) : "(null) " + std::to_string(length);
}

} // namespace

TEST(HttpUpload, SendsFilePartsInBase64AndCreatesAMissingFile) {
    const std::string base64File = FreshTempPath(), missingFile = FreshTempPath();
    WriteWholeFile(base64File, "abcd");
    CLoopbackServer server(Answer(MakeReply("200 OK", "", kXml)));
    CHttpUpload upload;
    const std::string url = server.Url("/up");
    ASSERT_EQ(0, upload.Init(url.c_str(), static_cast<int>(url.size())));
    EXPECT_TRUE(upload.AddFormFile("b", base64File.c_str(), TRUE));
    EXPECT_TRUE(upload.AddFormFile("m", missingFile.c_str(), FALSE));
    EXPECT_TRUE(upload.Request());
    EXPECT_STREQ(kXml, upload.RetRecvDataPt());
    auto part = [](const char* name, const std::string& path, const char* extra) {
        return "--FORM_BOUNDARY\r\ncontent-disposition: form-data; name=\"" + std::string(name) +
               "\"; filename=\"" + path.substr(path.rfind('\\') + 1) + "\"\r\n" + extra + "\r\n";
    };
    const std::string request = server.Request();
    EXPECT_EQ(part("b", base64File, "Content-Transfer-Encoding: Base64\r\n") + "YWJjZA==\r\n" +
                  part("m", missingFile, "") + "\r\n--FORM_BOUNDARY--\r\n",
              request.substr(request.find("\r\n\r\n") + 4));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missingFile.c_str()));
    DeleteFileA(base64File.c_str());
    DeleteFileA(missingFile.c_str());
}

TEST(HttpUpload, ReadsEachKindOfReplyAndLogsHowItEnded) {
    const std::string chunked = "Transfer-Encoding: chunked\r\n"; // also as the last header line
    std::string withTrailer = ChunkBody(kXml, 8);
    withTrailer.insert(withTrailer.size() - 2, "Trailer: x\r\n");
    const struct {
        std::string reply;
        bool holdOpen; // a chunked reply must end without the close
        std::string text;
        const char* logLine;
    } cases[] = {
        {MakeReply("200 OK", "Content-Length: 5\r\n", kXml), false, kXml, "nLen == 0"},
        {MakeReply("200 OK", chunked, ChunkBody(kXml, 4)), true, kXml, "last chunk"},
        {MakeReply("200 OK", chunked, withTrailer), true, kXml, "last chunk"},
        {MakeReply("301 Moved Permanently", "", kXml), false, "(null) 0", "ParseRetHeader ERROR"},
        {MakeReply("204 No Content", "", ""), false, "(null) 0", "RecvResponse end"},
        {MakeReply("200 OK", "X-Pad: " + std::string(2048, 'p') + "\r\n", kXml), false, "(null) 0",
         "Error header"},
        {"HTTP/1.1 200 OK\r\nX: y\r\n", false, "(null) 0", "receive header closed"},
        {MakeReply("200 OK", chunked, ChunkBody(kXml, 8).substr(0, 30)), false, "(null) 0",
         "nLen == 0"},
        {MakeReply("200 OK", chunked, "x\r\n"), false, "(null) 0", "broken chunked body"},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        ReplyScript script = Answer(c.reply, 5, 1); // pieces of 5 bytes, 1 ms apart
        script.holdOpen = c.holdOpen;
        CLoopbackServer server(script);
        CHttpUpload upload;
        EXPECT_EQ(c.text, Exchange(upload, server)) << c.reply;
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << c.reply;
        EXPECT_TRUE(!c.holdOpen || !upload.IsConnected()) << c.reply;
    }
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

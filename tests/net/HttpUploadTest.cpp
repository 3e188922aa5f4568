// CHttpUpload against scripted servers on 127.0.0.1.
#include <gtest/gtest.h>

#include "NetTestKit.h"
#include "net/HttpUpload.h"

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r>text</r>";

// One exchange with the field a=1; the reply text, or "(null)".
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
    const std::string base64File = FreshTempPath(), rawFile = FreshTempPath();
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

    auto part = [](const char* name, const std::string& path, const char* extra) {
        return "--FORM_BOUNDARY\r\ncontent-disposition: form-data; name=\"" + std::string(name) +
               "\"; filename=\"" + path.substr(path.rfind('\\') + 1) + "\"\r\n" + extra + "\r\n";
    };
    const std::string body = part("b", base64File, "Content-Transfer-Encoding: Base64\r\n") +
                             "YWJjZA==\r\n" + part("r", rawFile, "") + std::string("x\0y", 3) +
                             "\r\n" + part("m", missingFile, "") + "\r\n--FORM_BOUNDARY--\r\n";
    const std::string request = server.Request();
    EXPECT_EQ(body, request.substr(request.find("\r\n\r\n") + 4));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missingFile.c_str()));
    for (const std::string& path : {base64File, rawFile, missingFile})
        DeleteFileA(path.c_str());
}

TEST(HttpUpload, ReadsRepliesThatArriveInSmallPieces) {
    CHttpUpload upload;
    CLoopbackServer plain(Answer(MakeReply("200 OK", "Content-Length: 5\r\n", kXml), 7, 1));
    EXPECT_EQ(kXml, Exchange(upload, plain));
    CLoopbackServer chunked(
        Answer(MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", ChunkBody(kXml, 4)), 5, 1));
    int length = 0;
    EXPECT_EQ(kXml, Exchange(upload, chunked, &length));
    EXPECT_EQ(static_cast<int>(sizeof(kXml) - 1), length);
}

TEST(HttpUpload, AChunkedReplyEndsAtItsLastChunkThoughTheServerStaysConnected) {
    for (const char* trailer : {"", "Trailer: x\r\n"}) {
        std::string body = ChunkBody(kXml, 8);
        body.insert(body.size() - 2, trailer);
        ReplyScript script = Answer(MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", body));
        script.holdOpen = true;
        CLoopbackServer server(script);
        CHttpUpload upload;
        EXPECT_EQ(kXml, Exchange(upload, server)) << trailer;
        EXPECT_FALSE(upload.IsConnected());
    }
}

TEST(HttpUpload, FailedRepliesGiveNullAndTheirLogLine) {
    const std::string pad = "X-Pad: " + std::string(2048, 'p') + "\r\n";
    const std::string cut = ChunkBody(kXml, 8).substr(0, 30);
    const struct {
        std::string reply;
        const char* logLine;
    } cases[] = {
        {MakeReply("301 Moved Permanently", "", kXml), "ParseRetHeader ERROR"},
        {MakeReply("404 Not Found", "", kXml), "ParseRetHeader ERROR"},
        {MakeReply("204 No Content", "", ""), "RecvResponse end"},
        {MakeReply("200 OK", pad, kXml), "Error header"},
        {"HTTP/1.1 200 OK\r\nX: y\r\n", "receive header closed"},
        {MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", cut), "recv content nLen == 0"},
        {MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", "x\r\n"), "broken chunked body"},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server(Answer(c.reply, 1024, 1));
        CHttpUpload upload;
        int length = -1;
        EXPECT_EQ("(null)", Exchange(upload, server, &length)) << c.logLine;
        EXPECT_EQ(0, length);
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << c.logLine;
    }
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

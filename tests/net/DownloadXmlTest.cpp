// CInfoUpDown::DownloadXML: the bytes on the wire, the saved reply and the
// result codes.
#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "NetTestFiles.h"
#include "net/InfoUpDown.h"

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r/>";

ReplyScript Answer(const std::string& reply) {
    ReplyScript script;
    script.pieces.push_back(reply);
    return script;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

int Download(const std::string& url, const CStringArray& fields, const wchar_t* paramFile,
             const std::string* outFile) {
    const std::wstring wideOut = outFile ? Wide(*outFile) : L"";
    CInfoUpDown exchange;
    return exchange.DownloadXML(Wide(url).c_str(), fields, paramFile,
                                outFile ? wideOut.c_str() : nullptr);
}

} // namespace

TEST(DownloadXml, SendsTheExampleFormAndSavesTheReplyFromItsDeclaration) {
    CLoopbackServer server(Answer(MakeReply("200 OK", "", std::string("\xEF\xBB\xBF\r\n") + kXml)));
    CStringArray fields;
    fields.Add(L"a");
    fields.Add(L"1");
    fields.Add(L"unpaired");
    const std::string out = FreshTempPath();
    EXPECT_EQ(0, Download(server.Url("/p"), fields, nullptr, &out));
    EXPECT_EQ("POST /p HTTP/1.1\r\n"
              "HOST: 127.0.0.1\r\n"
              "Content-Length: 83\r\n"
              "Connection: close\r\n"
              "Content-type: multipart/form-data, boundary=FORM_BOUNDARY\r\n"
              "\r\n"
              "--FORM_BOUNDARY\r\n"
              "content-disposition: form-data; name=\"a\"\r\n"
              "\r\n"
              "1\r\n"
              "--FORM_BOUNDARY--\r\n",
              server.Request());
    EXPECT_EQ(kXml, ReadWholeFile(out));
    DeleteFileA(out.c_str());
}

TEST(DownloadXml, SendsTheParameterFileAsARawPart) {
    CLoopbackServer server(Answer(MakeReply("200 OK", "", kXml)));
    const std::string param = FreshTempPath();
    WriteWholeFile(param, "k=v\r\n");
    const std::string out = FreshTempPath();
    EXPECT_EQ(0, Download(server.Url("/p"), CStringArray(), Wide(param).c_str(), &out));
    const std::string fileName = param.substr(param.rfind('\\') + 1);
    EXPECT_NE(std::string::npos,
              server.Request().find("name=\"ParameterFile\"; filename=\"" + fileName +
                                    "\"\r\n\r\nk=v\r\n\r\n--FORM_BOUNDARY--\r\n"));
    DeleteFileA(param.c_str());
    DeleteFileA(out.c_str());
}

TEST(DownloadXml, GivesOneAndWritesNothingWithoutAnXmlReplyOrAnOutputPath) {
    const std::string out = FreshTempPath();
    CLoopbackServer plain(Answer(MakeReply("200 OK", "", "no declaration here")));
    EXPECT_EQ(1, Download(plain.Url("/p"), CStringArray(), nullptr, &out));
    EXPECT_FALSE(FileExists(out));
    CLoopbackServer missing(Answer(MakeReply("404 Not Found", "", kXml)));
    EXPECT_EQ(1, Download(missing.Url("/p"), CStringArray(), nullptr, &out));
    EXPECT_FALSE(FileExists(out));
    CLoopbackServer good(Answer(MakeReply("200 OK", "", kXml)));
    EXPECT_EQ(1, Download(good.Url("/p"), CStringArray(), nullptr, nullptr));
    EXPECT_FALSE(good.Request().empty());
}

TEST(DownloadXml, MapsConnectionFailures) {
    const std::string out = FreshTempPath();
    EXPECT_EQ(-5, Download("http://server", CStringArray(), nullptr, &out));
    EXPECT_EQ(-5, Download("https://server/x", CStringArray(), nullptr, &out));
    EXPECT_EQ(-5, Download("http://127.0.0.1:0/x", CStringArray(), nullptr, &out));
    const std::string refused = "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/x";
    EXPECT_EQ(-3, Download(refused, CStringArray(), nullptr, &out));
    EXPECT_EQ(
        -1, Download("http://" + std::string(64, 'a') + ".test/x", CStringArray(), nullptr, &out));
    EXPECT_FALSE(FileExists(out));
}

// CInfoUpDown::DownloadXML: the bytes on the wire, the saved reply and the
// result codes.
#include <gtest/gtest.h>

#include "NetTestKit.h"
#include "net/InfoUpDown.h"

#include <vector>

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r/>";

int Download(const std::string& url, const std::vector<CString>& fields, const wchar_t* paramFile,
             const std::string& outFile) {
    CStringArray array;
    for (const CString& field : fields)
        array.Add(field);
    const std::wstring wideOut(outFile.begin(), outFile.end());
    CInfoUpDown exchange;
    return exchange.DownloadXML(std::wstring(url.begin(), url.end()).c_str(), array, paramFile,
                                outFile.empty() ? nullptr : wideOut.c_str());
}

} // namespace

TEST(DownloadXml, SendsTheExampleFormAndSavesTheReplyFromItsDeclaration) {
    CLoopbackServer server(Answer(MakeReply("200 OK", "", std::string("\xEF\xBB\xBF\r\n") + kXml)));
    const std::string out = FreshTempPath();
    EXPECT_EQ(0, Download(server.Url("/p"), {L"a", L"1", L"unpaired"}, nullptr, out));
    // Standard multipart parsers find the boundary only after a semicolon.
    EXPECT_EQ("POST /p HTTP/1.1\r\n"
              "HOST: 127.0.0.1\r\n"
              "Content-Length: 83\r\n"
              "Connection: close\r\n"
              "Content-type: multipart/form-data; boundary=FORM_BOUNDARY\r\n"
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

TEST(DownloadXml, APartThatCannotBeSentFailsTheRequestInsteadOfVanishing) {
    const std::string longName(3000, 'n');
    const std::wstring folder = L"C:\\windows"; // a folder cannot be read as a file
    const struct {
        std::vector<CString> fields;
        const wchar_t* paramFile;
        const char* logLine;
    } cases[] = {
        {{L"a", L"1", CString(longName.c_str()), L"v"}, nullptr, "field 1 cannot be sent: nnn"},
        {{L"a", L"\u4e2d"}, nullptr, "field 0 cannot be sent: a"},
        {{L"a", L"1"}, folder.c_str(), "parameter file cannot be sent"},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server(Answer(MakeReply("200 OK", "", kXml)));
        const std::string out = FreshTempPath();
        EXPECT_EQ(1, Download(server.Url("/p"), c.fields, c.paramFile, out)) << c.logLine;
        EXPECT_EQ("", server.Request()) << "sent without the part";
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << log.Text();
        EXPECT_EQ("", ReadWholeFile(out));
    }
}

TEST(DownloadXml, GivesOneAndWritesNothingWithoutAnXmlReplyOrAnOutputPath) {
    const std::string out = FreshTempPath();
    CLoopbackServer plain(Answer(MakeReply("200 OK", "", "no declaration here")));
    EXPECT_EQ(1, Download(plain.Url("/p"), {}, nullptr, out));
    CLoopbackServer missing(Answer(MakeReply("404 Not Found", "", kXml)));
    EXPECT_EQ(1, Download(missing.Url("/p"), {}, nullptr, out));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str()));
    CLoopbackServer good(Answer(MakeReply("200 OK", "", kXml)));
    EXPECT_EQ(1, Download(good.Url("/p"), {}, nullptr, ""));
    EXPECT_FALSE(good.Request().empty());
}

TEST(DownloadXml, MapsConnectionFailures) {
    CHttpUpload upload;
    EXPECT_EQ(-6, upload.Init("http://server", 13));
    const std::string out = FreshTempPath();
    EXPECT_EQ(-5, Download("http://server", {}, nullptr, out));
    EXPECT_EQ(-5, Download("https://server/x", {}, nullptr, out));
    EXPECT_EQ(-5, Download("http://127.0.0.1:0/x", {}, nullptr, out));
    EXPECT_EQ(
        -3, Download("http://127.0.0.1:" + std::to_string(UnusedPort()) + "/x", {}, nullptr, out));
    EXPECT_EQ(-1, Download("http://" + std::string(64, 'a') + ".test/x", {}, nullptr, out));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str()));
}

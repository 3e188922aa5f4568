// CInfoUpDown::DownloadXML: the bytes on the wire, the saved reply and the
// result codes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "NetTestKit.h"
#include "net/InfoUpDown.h"

using ImageKit::ReadBytes;

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r/>";

int Download(const std::string& url, const std::vector<CString>& fields, const wchar_t* paramFile,
             const wchar_t* outFile) {
    CStringArray array;
    for (const CString& field : fields)
        array.Add(field);
    CInfoUpDown exchange;
    return exchange.DownloadXML(Wide(url).c_str(), array, paramFile, outFile);
}

} // namespace

// Standard multipart parsers find the boundary only after a semicolon; the
// scheme is matched without case, and a colon in the path names no port.
TEST(DownloadXml, SendsTheExampleFormAndSavesTheReplyFromItsDeclaration) {
    CLoopbackServer server({MakeReply("200 OK", "", std::string("\xEF\xBB\xBF\r\n") + kXml)});
    ImageKit::TempFolder folder(L"kvnet");
    const std::string url = "HTTP" + server.Url("/p:1?x=1").substr(4);
    EXPECT_EQ(0, Download(url, {L"a", L"1", L"unpaired"}, nullptr, folder.File(L"o").c_str()));
    EXPECT_EQ("POST /p:1?x=1 HTTP/1.1\r\n"
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
    EXPECT_EQ(kXml, ReadBytes(folder.File(L"o")));
}

TEST(DownloadXml, APartThatCannotBeSentFailsTheRequestInsteadOfVanishing) {
    const CString longName(L'n', 3000);
    const struct {
        std::vector<CString> fields;
        const wchar_t* paramFile;
        const char* logLine;
    } cases[] = {
        {{L"a", L"1", longName, L"v"}, nullptr, "field 1 cannot be sent: nnn"},
        {{L"a", L"\u4e2d"}, nullptr, "field 0 cannot be sent: a"},
        {{L"a", L"1"}, L"C:\\windows", "parameter file cannot be sent"}, // a folder
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server({MakeReply("200 OK", "", kXml)});
        ImageKit::TempFolder folder(L"kvnet");
        EXPECT_EQ(1, Download(server.Url("/p"), c.fields, c.paramFile, folder.File(L"o").c_str()));
        EXPECT_EQ("", server.Request()) << "sent without the part";
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << log.Text();
        EXPECT_EQ("", ReadBytes(folder.File(L"o")));
    }
}

// Replies that hold no XML document or have nowhere to go give 1; URLs the
// client cannot use, -5; a refused connection, -3; a name that cannot resolve, -1.
TEST(DownloadXml, GivesEachFailureItsCodeAndWritesNothing) {
    const struct {
        std::string url; // empty: a server that sends `reply`
        const char* reply;
        bool withOutput;
        int code;
    } cases[] = {
        {"", "HTTP/1.1 200 OK\r\n\r\nno declaration here", true, 1},
        {"", "HTTP/1.1 404 Not Found\r\n\r\n<?xml version=\"1.0\"?><r/>", true, 1},
        {"", "HTTP/1.1 200 OK\r\n\r\n<?xml version=\"1.0\"?><r/>", false, 1},
        {"http://server", nullptr, true, -5},
        {"https://server/x", nullptr, true, -5},
        {"http://h/" + std::string(1022, 'p'), nullptr, true, -5},
        {"http://127.0.0.1:0/x", nullptr, true, -5},
        {"http://127.0.0.1:" + std::to_string(UnusedPort()) + "/x", nullptr, true, -3},
        {"http://" + std::string(64, 'a') + ".test/x", nullptr, true, -1},
    };
    for (const auto& c : cases) {
        std::unique_ptr<CLoopbackServer> server;
        if (c.reply != nullptr)
            server.reset(new CLoopbackServer({c.reply}));
        ImageKit::TempFolder folder(L"kvnet");
        const std::wstring out = folder.File(L"o");
        EXPECT_EQ(c.code, Download(server ? server->Url("/p") : c.url, {}, nullptr,
                                   c.withOutput ? out.c_str() : nullptr))
            << c.url << c.reply;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(out.c_str()));
    }
}

// CInfoUpDown::DownloadXML: the bytes on the wire, the saved reply and the
// result codes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "NetTestKit.h"
#include "net/InfoUpDown.h"
#include "tools/common/Process.h"

using ImageKit::ReadBytes;

namespace {

const char kXml[] = "<?xml version=\"1.0\"?><r/>";

// The result code; the failure's reason for people, in ASCII, to *failure.
int Download(const std::string& url, const std::vector<CString>& fields, const wchar_t* paramFile,
             const wchar_t* outFile, std::string* failure = nullptr) {
    CStringArray array;
    for (const CString& field : fields)
        array.Add(field);
    CInfoUpDown exchange;
    const int result = exchange.DownloadXML(Wide(url).c_str(), array, paramFile, outFile);
    if (failure != nullptr)
        *failure = CStringA(exchange.GetLastFailure()).GetString();
    return result;
}

int Files(const ImageKit::TempFolder& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.File(L"*").c_str(), &found);
    int files = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    FindClose(search);
    return files;
}

} // namespace

// Standard multipart parsers find the boundary only after a semicolon; the
// scheme is matched without case, and a colon in the path names no port.
TEST(DownloadXml, SendsTheExampleFormAndSavesTheReplyFromItsDeclaration) {
    // Pieces of 3 bytes: "<?xml" arrives split over two receives.
    CLoopbackServer server({MakeReply("200 OK", "", std::string("\xEF\xBB\xBF\r\n") + kXml), 3, 1});
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

// A value or file holding a line break (CR LF, or a bare LF or CR, which
// common parsers take as one too) and the boundary would make the server's
// parser see a part of the sender's choosing (here role=admin); so would a
// name that ends its quotes.
TEST(DownloadXml, APartThatCannotBeSentFailsTheRequestInsteadOfVanishing) {
    const CString longName(L'n', 3000);
    const char injected[] = "--FORM_BOUNDARY\r\ncontent-disposition: form-data; name=\"role\"\r\n"
                            "\r\nadmin";
    const std::wstring injectedValue = Wide(std::string("bob\r\n") + injected);
    const std::wstring bareLf =
        L"x\n--FORM_BOUNDARY\ncontent-disposition: form-data; name=\"role\"\n\nadmin\n";
    const struct {
        std::vector<CString> fields;
        const char* logLine;
        std::string paramBytes = ""; // written to the file "p", then sent as the parameter file
        const wchar_t* paramFile = nullptr;
    } cases[] = {
        {{L"a", L"1", longName, L"v"}, "field 1 cannot be sent: nnn"},
        {{L"a", L"\u4e2d"}, "field 0 cannot be sent: a"},
        {{L"a", L"1"}, "parameter file cannot be sent", "", L"C:\\windows"}, // a folder
        {{L"a", L"1", L"name", injectedValue.c_str()}, "field 1 cannot be sent"},
        {{L"a", Wide(injected).c_str()}, "field 0 cannot be sent"},
        {{L"a", L"1"}, "parameter file cannot be sent", std::string("x\r\n") + injected},
        {{L"a", bareLf.c_str()}, "field 0 cannot be sent"},
        {{L"a", L"x\r--FORM_BOUNDARY\rcontent-disposition"}, "field 0 cannot be sent"},
        {{L"a", L"x\r"}, "parameter file cannot be sent", std::string("\n") + injected},
        {{L"n\"; filename", L"v"}, "field 0 cannot be sent"},
        // Shown in the log without its line break: it forges no line.
        {{L"a\r\n[2011-01-02 09-05-03 Kelvane ] | forged", L"v"},
         "field 0 cannot be sent: a??[2011"},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server({MakeReply("200 OK", "", kXml)});
        ImageKit::TempFolder folder(L"kvnet");
        const std::wstring param = folder.File(L"p");
        if (!c.paramBytes.empty())
            ImageKit::WriteBytes(param, c.paramBytes);
        std::string failure;
        EXPECT_EQ(1, Download(server.Url("/p"), c.fields,
                              c.paramBytes.empty() ? c.paramFile : param.c_str(),
                              folder.File(L"o").c_str(), &failure));
        EXPECT_EQ("", server.Request()) << "sent without the part";
        EXPECT_NE(std::string::npos, log.Text().find(c.logLine)) << log.Text();
        EXPECT_EQ(std::string::npos, log.Text().find("\n[2011")) << log.Text();
        // The reason names the same part as the log line.
        const std::string part = std::string(c.logLine).substr(0, 7);
        EXPECT_EQ(0u, failure.find(part == "field 0" || part == "field 1" ? part : "the param"))
            << failure;
        EXPECT_EQ("", ReadBytes(folder.File(L"o")));
    }
}

// Replies that hold no XML document, were cut short or have nowhere to go
// give 1; URLs the client cannot use, -5; a refused connection, -3; a name
// that cannot resolve, -1. The previous reply file stays as it was.
TEST(DownloadXml, GivesEachFailureItsCodeAndKeepsThePreviousFile) {
    const std::string ok = "HTTP/1.1 200 OK\r\n", okXml = ok + "\r\n" + kXml;
    const char withZero[] = "\r\n<?xml version=\"1.0\"?><r>\0</r>";
    const struct {
        std::string url; // empty: a server that sends `reply`, at its port and `tail`
        std::string reply;
        bool withOutput;
        int code;
        const char* because; // part of the reason given to people
        std::string tail = "/p";
    } cases[] = {
        {"", ok + "\r\nno declaration here", true, 1, "no XML document"},
        {"", MakeReply("404 Not Found", "", kXml), true, 1, "answered \"HTTP/1.1 404 Not Found\""},
        {"", okXml, false, 1, "no output file"},
        {"", MakeReply("200 OK", "Content-Length: 2147483648\r\n", kXml), true, 1,
         "shorter than its Content-Length"},
        {"", ok + std::string(withZero, sizeof(withZero) - 1), true, 1, "zero byte"},
        {"http://server", "", true, -5, "no / after the host"},
        {"https://server/x", "", true, -5, "does not begin with http://"},
        {"http://h/" + std::string(1022, 'p'), "", true, -5, "longer than 1023"},
        {"http://127.0.0.1:0/x", "", true, -5, "port 0 is outside"},
        {"http://127.0.0.1:" + std::to_string(UnusedPort()) + "/x", "", true, -3,
         "refused the connection"},
        {"http://" + std::string(64, 'a') + ".test/x", "", true, -1, "cannot be resolved"},
        // Nothing reaches the server: not a header line of the caller's
        // choosing, nor a request to a port that was not quite named.
        {"", okXml, true, -5, "control character", "/ok HTTP/1.1\r\nX-Injected: yes\r\nY: z"},
        {"", okXml, true, -5, "or a space", "/a b"},
        {"", okXml, true, -5, "port is not a number", "abc/ok"},
    };
    for (const auto& c : cases) {
        std::unique_ptr<CLoopbackServer> server;
        if (!c.reply.empty())
            server.reset(new CLoopbackServer({c.reply}));
        ImageKit::TempFolder folder(L"kvnet");
        const std::wstring out = folder.File(L"o");
        ImageKit::WriteBytes(out, "previous");
        const std::string url =
            server ? "http://127.0.0.1:" + std::to_string(server->Port()) + c.tail : c.url;
        std::string failure;
        EXPECT_EQ(c.code,
                  Download(url, {}, nullptr, c.withOutput ? out.c_str() : nullptr, &failure))
            << c.url << c.reply;
        EXPECT_NE(std::string::npos, failure.find(c.because)) << failure;
        EXPECT_EQ("previous", ReadBytes(out)) << c.reply;
        EXPECT_EQ(1, Files(folder)) << "left beside it: " << c.reply;
    }
}

// A client killed in the middle of a reply leaves no temporary file behind.
TEST(DownloadXml, AKilledDownloadLeavesNoTemporaryFile) {
    const std::string xml = std::string(kXml) + std::string(1 << 20, ' ');
    CLoopbackServer server({MakeReply("200 OK", "", xml), 1024, 10}); // about 10 s of reply
    ImageKit::TempFolder folder(L"kvnet");
    KvProcess::CRunningProcess kvpost(KvProcess::BesideProgram(L"kvpost.exe"),
                                      {Wide(server.Url("/p")), L"--out", folder.File(L"o")});
    // The temporary file is made once the declaration has come.
    bool receiving = false;
    for (int wait = 0; wait < 300 && !receiving; ++wait, Sleep(100))
        receiving = Files(folder) == 1;
    ASSERT_TRUE(receiving) << "no temporary file was made";
    kvpost.Finish(0); // terminated, and its pipes closed with its handles
    EXPECT_EQ(0, Files(folder));
}

namespace {

// The log's messages from "Enter RecvResponse" on, each by its first line:
// the stamp and tag go, and the text a message carries on its further lines
// (the reply) is not part of the sequence.
std::vector<std::string> ReceiveMessages(const std::string& log) {
    std::vector<std::string> messages;
    for (size_t at = log.find("Enter RecvResponse"); at != std::string::npos;) {
        // A message's own CR LF comes out as CR CR LF in the text-mode file.
        const size_t end = log.find_first_of("\r\n", at);
        messages.push_back(log.substr(at, end - at));
        at = log.find(" ] | ", log.find("\n[", end));
        at = at == std::string::npos ? at : at + 5;
    }
    return messages;
}

} // namespace

// People and tools compare these logs line by line: "RecvResponse end" comes
// once for the body read and once more for the receive around it, and only
// the latter when the body failed (a streamed reply once logged it once).
TEST(DownloadXml, LogsTheSameSequenceOfLinesForEachKindOfExchange) {
    const std::vector<std::string> saved = {"RecvResponse GetData end", "RecvResponse end",
                                            "RecvResponse end",
                                            "DownloadXML The following content GET:"};
    const std::string chunked =
        MakeReply("200 OK", "Transfer-Encoding: chunked\r\n", ChunkBody(kXml, 7));
    const struct {
        const char* pszCase;
        ReplyScript script;
        int code;
        std::vector<std::string> end; // after "ParseRetHeader"
    } cases[] = {
        {"plain", {MakeReply("200 OK", "", kXml)}, 0, {"recv content nLen == 0"}},
        {"chunked", {chunked, 5, 1, true}, 0, {"recv content last chunk"}},
        {"refused", {MakeReply("404 Not Found", "", kXml)}, 1, {"ParseRetHeader ERROR"}},
        // Cut inside its second chunk.
        {"cut short", {chunked.substr(0, 67)}, 1, {"recv content nLen == 0", "RecvResponse end"}},
    };
    for (const auto& c : cases) {
        CCapturedLog log;
        CLoopbackServer server(c.script);
        ImageKit::TempFolder folder(L"kvnet");
        EXPECT_EQ(c.code,
                  Download(server.Url("/p"), {L"a", L"1"}, nullptr, folder.File(L"o").c_str()))
            << c.pszCase;
        std::vector<std::string> expected = {"Enter RecvResponse", "RecvResponse ParseRetHeader",
                                             "ParseRetHeader"};
        expected.insert(expected.end(), c.end.begin(), c.end.end());
        if (c.code == 0)
            expected.insert(expected.end(), saved.begin(), saved.end());
        expected.insert(expected.end(),
                        {"DownloadXML m_httpUpload.RetRecvDataPt end", "DownloadXML end"});
        EXPECT_EQ(expected, ReceiveMessages(log.Text())) << c.pszCase;
    }
}

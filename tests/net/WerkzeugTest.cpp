// The client and kvpost against a server written with a common web framework:
// Debian's python3-werkzeug on its own HTTP/1.1 server, started by the test
// on 127.0.0.1 (tests/net/werkzeug_app.py echoes the form it parsed).
#include <gtest/gtest.h>

#include "NetTestKit.h"
#include "net/InfoUpDown.h"
#include "tools/common/Process.h"

using ImageKit::ReadBytes;
using KvProcess::UnixPathOf;

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes)
        hex += std::string(1, digits[byte >> 4]) + digits[byte & 15];
    return hex;
}

class Werkzeug : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ImageKit::TempFolder folder(L"kvnet");
        // Wine runs a Unix program named by its Windows path. It is no Windows
        // process to wait for or end: the server ends itself on /quit.
        std::wstring command = L"Z:\\usr\\bin\\python3 " +
                               Wide(UnixPathOf(KvProcess::BesideProgram(L"werkzeug_app.py"))) +
                               L" " + Wide(UnixPathOf(folder.File(L"port")));
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (int wait = 0; wait < 300 && s_port == 0; ++wait, Sleep(100))
            s_port = std::atoi(ReadBytes(folder.File(L"port")).c_str());
    }

    static void TearDownTestSuite() {
        CHttpUpload quit;
        const std::string url = Url("/quit");
        if (s_port != 0 && quit.Init(url.c_str(), static_cast<int>(url.size())) == 0 &&
            quit.Request())
            quit.RetRecvDataPt();
    }

    void SetUp() override {
        ASSERT_NE(0, s_port) << "no server: is python3-werkzeug installed (install-deps.sh)?";
    }

    static std::string Url(const char* path) {
        return "http://127.0.0.1:" + std::to_string(s_port) + path;
    }

    static int s_port;
    ImageKit::TempFolder m_folder{L"kvnet"};
};

int Werkzeug::s_port = 0;

} // namespace

TEST_F(Werkzeug, SeesEveryFieldAndTheFileAsSentAndSavesItsStreamedReply) {
    // Names travel in a part header, where the framework takes only ASCII.
    const CString fields[] = {
        L"text with spaces", L" one  two ", L"q",
        L"x=y==z",           L"dessert",    L"cr\u00e8me br\u00fbl\u00e9e \u00bd"};
    std::string expected = "<?xml version=\"1.0\"?>\n<form>\n";
    CStringArray array;
    for (size_t i = 0; i < 6; i += 2) {
        array.Add(fields[i]);
        array.Add(fields[i + 1]);
        expected += "<field name=\"" + Hex(CStringA(fields[i]).GetString()) + "\" value=\"" +
                    Hex(CStringA(fields[i + 1]).GetString()) + "\"/>\n";
    }
    std::string fileBytes; // every byte value, NUL, CR and LF among them
    for (int i = 0; i < 512; ++i)
        fileBytes += static_cast<char>(i);
    const std::wstring param = m_folder.File(L"params.bin"), out = m_folder.File(L"out.xml");
    ImageKit::WriteBytes(param, fileBytes);
    expected += "<file name=\"" + Hex("ParameterFile") + "\" filename=\"" + Hex("params.bin") +
                "\" value=\"" + Hex(fileBytes) + "\"/>\n<pad>" + std::string(10 * 4096, 'x') +
                "</pad>\n</form>\n";

    CInfoUpDown exchange;
    EXPECT_EQ(0,
              exchange.DownloadXML(Wide(Url("/echo")).c_str(), array, param.c_str(), out.c_str()));
    const std::string saved = ReadBytes(out);
    EXPECT_EQ(expected.substr(0, expected.find("<pad>")), saved.substr(0, saved.find("<pad>")));
    EXPECT_TRUE(saved == expected) << saved.size() << " bytes saved of " << expected.size();
    // Four times its size came: the reply went to the file as it came.
    EXPECT_EQ(10240, exchange.m_httpUpload.GetBufSize());
}

// kvpost's failure line (the README's examples run its --help and its main path).
TEST_F(Werkzeug, KvpostSaysWhatFailed) {
    const KvProcess::RunResult run = KvProcess::RunTool(
        L"kvpost.exe", {Wide(Url("/missing")), L"--out", m_folder.File(L"out.xml")});
    EXPECT_EQ(1u, run.nExitCode);
    EXPECT_EQ(0u, run.strErr.rfind("kvpost: the server answered \"HTTP/1.1 404", 0)) << run.strErr;
}

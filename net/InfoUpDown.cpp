#include "net/InfoUpDown.h"

#include <cstring>
#include <string>

#include "net/FileHandle.h"
#include "net/HttpBytes.h"
#include "net/NetLog.h"
#include "runtime/Log.h"
#include "runtime/ModuleApp.h"

namespace {

const size_t kReplyLogChars = 4096;

// The whole text in the ANSI code page: a name, value or path is never cut,
// since a cut one would name another thing. Null gives an empty string.
std::string ToAnsi(LPCWSTR text) {
    if (text == nullptr || *text == L'\0')
        return std::string();
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], bytes, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

// The connection library's codes as the callers of DownloadXML know them.
int MapConnectResult(int initResult) {
    if (initResult == -5)
        return -3;
    if (initResult == -1)
        return -1;
    return -5;
}

} // namespace

CInfoUpDown::CInfoUpDown() {}

CInfoUpDown::~CInfoUpDown() {}

int CInfoUpDown::DownloadXML(LPCWSTR url, const CStringArray& fields, LPCWSTR paramFile,
                             LPCWSTR outFile) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    InitLog(L"Kelvane", GetLogFilePath());
    WriteLog(L"Enter DownloadXML (url=%s)", url != nullptr ? url : L"");
    const std::string narrowUrl = ToAnsi(url);
    WriteLog(L"DownloadXML m_httpUpload.Init");
    const int connected = m_httpUpload.Init(narrowUrl.c_str(), static_cast<int>(narrowUrl.size()));
    if (connected != 0)
        return MapConnectResult(connected);
    AddFields(fields);
    if (paramFile != nullptr)
        m_httpUpload.AddFormFile("ParameterFile", ToAnsi(paramFile).c_str(), FALSE);
    WriteLog(L"DownloadXML m_httpUpload.Request");
    // A failed send shows as a failed receive.
    m_httpUpload.Request();
    WriteLog(L"DownloadXML m_httpUpload.RetRecvDataPt");
    int length = 0;
    const char* reply = m_httpUpload.RetRecvDataPt(&length);
    if (reply != nullptr)
        LogUtf8Text(L"DownloadXML The following content GET:\r\n%s", reply,
                    static_cast<size_t>(length), kReplyLogChars);
    WriteLog(L"DownloadXML m_httpUpload.RetRecvDataPt end");
    const int saved = outFile != nullptr ? SaveXmlReply(ToAnsi(outFile).c_str(), reply) : 1;
    WriteLog(L"DownloadXML end");
    return saved;
}

void CInfoUpDown::AddFields(const CStringArray& fields) {
    const INT_PTR pairs = fields.GetSize() / 2;
    for (INT_PTR i = 0; i < pairs; ++i) {
        m_httpUpload.AddFormData(ToAnsi(fields[2 * i]).c_str(), ToAnsi(fields[2 * i + 1]).c_str());
    }
}

int SaveXmlReply(LPCSTR path, const char* text) {
    if (path == nullptr || text == nullptr)
        return 1;
    const char* declaration = FindXmlDeclaration(text);
    if (declaration == nullptr)
        return 1;
    CUniqueFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return 1;
    const size_t length = std::strlen(declaration);
    if (length > MAXDWORD)
        return 1;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file.Get(), declaration, static_cast<DWORD>(length), &written, nullptr);
    return ok && written == length ? 0 : 1;
}

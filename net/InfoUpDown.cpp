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

// The whole text in the ANSI code page; false when a character has no byte
// there, since it would go out as another character. A name, value or path
// is never cut either, since a cut one would name another thing. Null gives
// an empty string.
bool ToAnsi(LPCWSTR text, std::string* narrow) {
    narrow->clear();
    if (text == nullptr || *text == L'\0')
        return true;
    // UTF-8 can hold every character and takes neither flag nor default.
    const UINT codePage = GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    const int bytes = WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, nullptr,
                                          utf8 ? nullptr : &defaulted);
    if (bytes <= 0 || defaulted)
        return false;
    narrow->resize(static_cast<size_t>(bytes));
    WideCharToMultiByte(codePage, flags, text, -1, &(*narrow)[0], bytes, nullptr, nullptr);
    narrow->resize(static_cast<size_t>(bytes) - 1);
    return true;
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
    std::string narrowUrl;
    if (!ToAnsi(url, &narrowUrl)) {
        WriteLog(L"DownloadXML the URL cannot be written in the code page");
        return -5;
    }
    WriteLog(L"DownloadXML m_httpUpload.Init");
    const int connected = m_httpUpload.Init(narrowUrl.c_str(), static_cast<int>(narrowUrl.size()));
    if (connected != 0)
        return MapConnectResult(connected);
    if (!AddParts(fields, paramFile)) {
        m_httpUpload.Reset();
        return 1;
    }
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
    std::string narrowOut;
    const bool canSave = outFile != nullptr && ToAnsi(outFile, &narrowOut);
    const int saved = canSave ? SaveXmlReply(narrowOut.c_str(), reply) : 1;
    WriteLog(L"DownloadXML end");
    return saved;
}

// Every field and the parameter file go into the form, or nothing is sent:
// a part that cannot be sent must fail the request, never vanish from it.
bool CInfoUpDown::AddParts(const CStringArray& fields, LPCWSTR paramFile) {
    for (INT_PTR i = 0; i + 1 < fields.GetSize(); i += 2) {
        std::string name, value;
        if (!ToAnsi(fields[i], &name) || !ToAnsi(fields[i + 1], &value) ||
            !m_httpUpload.AddFormData(name.c_str(), value.c_str())) {
            WriteLog(L"DownloadXML field %d cannot be sent: %s", static_cast<int>(i / 2),
                     fields[i].GetString());
            return false;
        }
    }
    std::string path;
    if (paramFile != nullptr && (!ToAnsi(paramFile, &path) ||
                                 !m_httpUpload.AddFormFile("ParameterFile", path.c_str(), FALSE))) {
        WriteLog(L"DownloadXML the parameter file cannot be sent: %s", paramFile);
        return false;
    }
    return true;
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

#include "net/InfoUpDown.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "net/HttpBytes.h"
#include "net/NetLog.h"
#include "net/ReplyFile.h"
#include "runtime/Log.h"
#include "runtime/ModuleApp.h"

namespace {

const size_t kReplyLogChars = 4096;

// Takes the reply body piece by piece and saves it from its first "<?xml"
// on. The file is made only once the declaration has come.
class CReplySaver {
public:
    explicit CReplySaver(LPCSTR path) : m_path(path) {}

    // False when the reply cannot be saved whole: a zero byte, which a reader
    // of the text would take for its end, or a failed write.
    bool Take(const char* data, int count) {
        const size_t length = static_cast<size_t>(count);
        m_head.append(data, (std::min)(length, kReplyLogChars - m_head.size()));
        if (std::memchr(data, '\0', length) != nullptr) {
            WriteLog(L"DownloadXML the reply holds a zero byte");
            m_pszFailure = L"the reply holds a zero byte";
            return false;
        }
        if (m_path == nullptr)
            return true;
        const bool written =
            m_file.IsOpen() ? m_file.Write(data, length) : TakeBeforeDeclaration(data, length);
        if (!written)
            m_pszFailure = L"the reply cannot be written beside the output file";
        return written;
    }

    // 0 when the reply held a declaration and was put in place whole.
    int Finish() {
        if (!m_file.IsOpen()) {
            m_pszFailure = L"the reply holds no XML document (no \"<?xml\")";
            return 1;
        }
        if (!m_file.Commit()) {
            m_pszFailure = L"the reply cannot be put in place of the output file";
            return 1;
        }
        return 0;
    }

    // Why the reply was not saved; empty when nothing failed here.
    LPCWSTR Failure() const { return m_pszFailure; }

    // The first bytes of the body, for the log.
    const std::string& Head() const { return m_head; }

private:
    // The declaration may straddle two pieces: the last bytes before it are
    // kept until the next piece comes.
    bool TakeBeforeDeclaration(const char* data, size_t length) {
        const char declaration[] = "<?xml";
        m_waiting.append(data, length);
        const size_t at = m_waiting.find(declaration);
        if (at == std::string::npos) {
            const size_t keep = sizeof(declaration) - 2;
            if (m_waiting.size() > keep)
                m_waiting.erase(0, m_waiting.size() - keep);
            return true;
        }
        const bool written =
            m_file.Open(m_path) && m_file.Write(m_waiting.data() + at, m_waiting.size() - at);
        m_waiting.clear();
        return written;
    }

    LPCSTR m_path;
    LPCWSTR m_pszFailure = L"";
    CReplyFile m_file;
    std::string m_head;
    std::string m_waiting;
};

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

// A text for a log line: its control characters shown as "?", since a line
// break in it would start a log line of the text's choosing.
CString Loggable(LPCWSTR text) {
    CString shown(text != nullptr ? text : L"");
    for (int i = 0; i < shown.GetLength(); ++i)
        if (shown[i] < L' ' || shown[i] == 0x7F)
            shown.SetAt(i, L'?');
    return shown;
}

// The connection library's codes as the callers of DownloadXML know them.
int MapConnectResult(int initResult) {
    if (initResult == -5)
        return -3;
    if (initResult == -1)
        return -1;
    return -5;
}

// Why a reply was not saved: the first reason that applies, from the wire to
// the file.
CString ReceiveFailure(const CHttpUpload& upload, bool bReceived, LPCWSTR outFile, bool bCanSave,
                       LPCWSTR pszSaveFailure) {
    if (!bReceived && *upload.GetFailure() != '\0')
        return CString(upload.GetFailure());
    if (*pszSaveFailure != L'\0')
        return pszSaveFailure;
    if (outFile == nullptr)
        return L"no output file was given";
    if (!bCanSave)
        return L"the output path holds a character that the ANSI code page cannot write";
    return L"the reply could not be received";
}

} // namespace

CInfoUpDown::CInfoUpDown() {}

CInfoUpDown::~CInfoUpDown() {}

int CInfoUpDown::DownloadXML(LPCWSTR url, const CStringArray& fields, LPCWSTR paramFile,
                             LPCWSTR outFile) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    InitLog(L"Kelvane", GetLogFilePath());
    WriteLog(L"Enter DownloadXML (url=%s)", Loggable(url).GetString());
    m_strFailure.Empty();
    std::string narrowUrl;
    if (!ToAnsi(url, &narrowUrl)) {
        WriteLog(L"DownloadXML the URL cannot be written in the code page");
        m_strFailure = L"the URL holds a character that the ANSI code page cannot write";
        return -5;
    }
    WriteLog(L"DownloadXML m_httpUpload.Init");
    const int connected = m_httpUpload.Init(narrowUrl.c_str(), static_cast<int>(narrowUrl.size()));
    if (connected != 0) {
        m_strFailure = CString(m_httpUpload.GetFailure());
        return MapConnectResult(connected);
    }
    if (!AddParts(fields, paramFile)) {
        m_httpUpload.Reset();
        return 1;
    }
    WriteLog(L"DownloadXML m_httpUpload.Request");
    // A failed send shows as a failed receive.
    m_httpUpload.Request();
    WriteLog(L"DownloadXML m_httpUpload.RetRecvDataPt");
    std::string narrowOut;
    const bool canSave = outFile != nullptr && ToAnsi(outFile, &narrowOut);
    // The reply goes to its file as it arrives, so a large one never has to
    // fit in memory.
    CReplySaver saver(canSave ? narrowOut.c_str() : nullptr);
    const BOOL received = m_httpUpload.ReceiveBody(
        [&saver](const char* data, int count) { return saver.Take(data, count); });
    const std::string& head = saver.Head();
    if (received && !head.empty())
        LogUtf8Text(L"DownloadXML The following content GET:\r\n%s", head.data(), head.size(),
                    kReplyLogChars);
    WriteLog(L"DownloadXML m_httpUpload.RetRecvDataPt end");
    const int saved = received && canSave ? saver.Finish() : 1;
    WriteLog(L"DownloadXML end");
    if (saved != 0)
        m_strFailure =
            ReceiveFailure(m_httpUpload, received != FALSE, outFile, canSave, saver.Failure());
    return saved;
}

// Every field and the parameter file go into the form, or nothing is sent:
// a part that cannot be sent must fail the request, never vanish from it.
bool CInfoUpDown::AddParts(const CStringArray& fields, LPCWSTR paramFile) {
    for (INT_PTR i = 0; i + 1 < fields.GetSize(); i += 2) {
        std::string name, value;
        const bool bAnsi = ToAnsi(fields[i], &name) && ToAnsi(fields[i + 1], &value);
        if (!bAnsi || !m_httpUpload.AddFormData(name.c_str(), value.c_str())) {
            const CString strName = Loggable(fields[i]);
            WriteLog(L"DownloadXML field %d cannot be sent: %s", static_cast<int>(i / 2),
                     strName.GetString());
            m_strFailure.Format(
                L"field %d (%s) cannot be sent: %s", static_cast<int>(i / 2), strName.GetString(),
                bAnsi ? L"its name holds a quote or a line break or is too long, or its value "
                        L"holds the boundary after a line break"
                      : L"it holds a character that the ANSI code page cannot write");
            return false;
        }
    }
    std::string path;
    if (paramFile == nullptr)
        return true;
    const bool bAnsi = ToAnsi(paramFile, &path);
    if (!bAnsi || !m_httpUpload.AddFormFile("ParameterFile", path.c_str(), FALSE)) {
        const CString strPath = Loggable(paramFile);
        WriteLog(L"DownloadXML the parameter file cannot be sent: %s", strPath.GetString());
        m_strFailure.Format(L"the parameter file %s cannot be sent: %s", strPath.GetString(),
                            bAnsi ? L"it cannot be read, or it holds the boundary after a line "
                                    L"break"
                                  : L"its path holds a character that the ANSI code page "
                                    L"cannot write");
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
    CReplyFile file;
    return file.Open(path) && file.Write(declaration, std::strlen(declaration)) && file.Commit()
               ? 0
               : 1;
}

#include "net/HttpUpload.h"

#include <climits>
#include <cstring>
#include <new>

#include "companions/linkBroker/linkBroker.h"
#include "net/FileHandle.h"
#include "net/HttpBytes.h"
#include "net/NetLog.h"
#include "runtime/Log.h"

namespace {

const int kInitialBufSize = 10240;
const int kReceivePiece = 1024;
const size_t kHeaderLogChars = 1024;
const size_t kBodyLogChars = 4096;

} // namespace

CHttpUpload::CHttpUpload()
    : m_nBufSize(0), m_socket(INVALID_SOCKET), m_szHost(), m_nPort(80), m_szPath(),
      m_bChunked(false) {
    Reset();
}

CHttpUpload::~CHttpUpload() {
    CloseSocket();
}

void CHttpUpload::CloseSocket() {
    if (m_socket != INVALID_SOCKET)
        closesocket(m_socket);
    m_socket = INVALID_SOCKET;
}

void CHttpUpload::Reset() {
    CloseSocket();
    m_nPort = 80;
    m_bChunked = false;
    m_pRecvBuf.reset(new char[kInitialBufSize]());
    m_nBufSize = kInitialBufSize;
    m_szHost[0] = '\0';
    m_szPath[0] = '\0';
    m_strBody.clear();
}

int CHttpUpload::Init(LPCSTR url, int length) {
    Reset();
    if (!ParseURL(url, length))
        return -6;
    return Connect();
}

BOOL CHttpUpload::ParseURL(LPCSTR url, int length) {
    kvnet::UrlParts parts;
    if (length <= 0 || !kvnet::ParseHttpUrl(url, static_cast<size_t>(length), &parts))
        return FALSE;
    std::memcpy(m_szHost, parts.host, sizeof(m_szHost));
    std::memcpy(m_szPath, parts.path, sizeof(m_szPath));
    m_nPort = parts.port;
    return TRUE;
}

int CHttpUpload::Connect() {
    INT_PTR result = brokerConnect(m_szHost, m_nPort);
    if (result < 0)
        return static_cast<int>(result);
    m_socket = static_cast<SOCKET>(result);
    return 0;
}

BOOL CHttpUpload::AddFormData(LPCSTR name, LPCSTR value) {
    if (name == nullptr || value == nullptr)
        return FALSE;
    if (!kvnet::AppendTextPartHeader(m_strBody, name))
        return FALSE;
    m_strBody += value;
    m_strBody += "\r\n";
    return TRUE;
}

BOOL CHttpUpload::AddFormFile(LPCSTR name, LPCSTR path, BOOL base64) {
    if (name == nullptr || path == nullptr)
        return FALSE;
    if (!kvnet::AppendFilePartHeader(m_strBody, name, kvnet::FileNameOfPath(path), base64 != FALSE))
        return FALSE;
    // A missing file is created empty and sent as an empty part.
    CUniqueFile file(
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return FALSE;
    if (!AppendFileContent(file.Get(), base64))
        return FALSE;
    m_strBody += "\r\n";
    return TRUE;
}

// Reads 3 bytes per call, the size of one Base64 group. Raw content is sent
// byte for byte, zero bytes included.
BOOL CHttpUpload::AppendFileContent(HANDLE file, BOOL base64) {
    for (;;) {
        unsigned char piece[3];
        DWORD read = 0;
        if (!ReadFile(file, piece, sizeof(piece), &read, nullptr))
            return FALSE;
        if (read == 0)
            return TRUE;
        if (base64) {
            char encoded[4];
            kvnet::EncodeBase64Piece(piece, read, encoded);
            m_strBody.append(encoded, sizeof(encoded));
        } else {
            m_strBody.append(reinterpret_cast<const char*>(piece), read);
        }
    }
}

BOOL CHttpUpload::Request() {
    WriteLog(L"Enter CHttpUpload::Request");
    kvnet::AppendFormEnd(m_strBody);
    char header[kvnet::kMaxRequestHeader + 1];
    if (!kvnet::FormatRequestHeader(header, m_szPath, m_szHost, m_strBody.size())) {
        CloseSocket();
        return FALSE;
    }
    LogAnsiText(L"The header of the POST:\r\n%s", header, std::strlen(header), kHeaderLogChars);
    if (!SendWhole(header, std::strlen(header)))
        return FALSE;
    LogAnsiText(L"The content of the POST:\r\n%s", m_strBody.data(), m_strBody.size(),
                kBodyLogChars);
    if (!SendWhole(m_strBody.data(), m_strBody.size()))
        return FALSE;
    WriteLog(L"Exit CHttpUpload::Request");
    return TRUE;
}

// One send call; a failed or short send closes the connection.
BOOL CHttpUpload::SendWhole(const char* data, size_t length) {
    if (length > static_cast<size_t>(INT_MAX) || m_socket == INVALID_SOCKET) {
        CloseSocket();
        return FALSE;
    }
    const int count = static_cast<int>(length);
    if (send(m_socket, data, count, 0) != count) {
        CloseSocket();
        return FALSE;
    }
    return TRUE;
}

char* CHttpUpload::RetRecvDataPt(int* length) {
    int received = 0;
    if (!RecvResponse(&received)) {
        std::memset(m_pRecvBuf.get(), 0, static_cast<size_t>(m_nBufSize));
        received = 0;
    }
    if (length != nullptr)
        *length = received;
    return m_pRecvBuf[0] != '\0' ? m_pRecvBuf.get() : nullptr;
}

BOOL CHttpUpload::RecvResponse(int* length) {
    char header[kvnet::kReplyHeaderCapacity] = {};
    int headerLength = 0;
    int bodyCount = 0;
    if (!RecvHeader(header, sizeof(header), &headerLength, &bodyCount))
        return FALSE;
    if (!ParseRetHeader(header, headerLength)) {
        WriteLog(L"ParseRetHeader ERROR");
        return FALSE;
    }
    BOOL received = GetData(length, bodyCount);
    WriteLog(L"RecvResponse end");
    return received;
}

BOOL CHttpUpload::RecvHeader(char* header, int capacity, int* headerLength, int* bodyCount) {
    std::memset(m_pRecvBuf.get(), 0, static_cast<size_t>(m_nBufSize));
    WriteLog(L"Enter RecvResponse");
    size_t held = 0;
    size_t headerEnd = 0;
    for (;;) {
        char piece[kReceivePiece];
        const int count = recv(m_socket, piece, sizeof(piece), 0);
        if (count == SOCKET_ERROR) {
            WriteLog(L"receive header SOCKET_ERROR");
            return FALSE;
        }
        if (count == 0) {
            WriteLog(L"receive header closed before the blank line");
            return FALSE;
        }
        kvnet::HeaderScan scan =
            kvnet::AppendHeaderBytes(header, static_cast<size_t>(capacity), &held, piece,
                                     static_cast<size_t>(count), &headerEnd);
        if (scan == kvnet::HeaderScan::TooLong) {
            WriteLog(L"Error header");
            return FALSE;
        }
        if (scan == kvnet::HeaderScan::Complete)
            break;
    }
    header[headerEnd] = '\0';
    const size_t bodyStart = headerEnd + 4;
    std::memcpy(m_pRecvBuf.get(), header + bodyStart, held - bodyStart);
    *headerLength = static_cast<int>(headerEnd);
    *bodyCount = static_cast<int>(held - bodyStart);
    WriteLog(L"RecvResponse ParseRetHeader");
    return TRUE;
}

BOOL CHttpUpload::ParseRetHeader(const char* header, int length) {
    if (header == nullptr || length <= 0)
        return FALSE;
    WriteLog(L"ParseRetHeader");
    const int status = kvnet::ParseStatusCode(header, static_cast<size_t>(length));
    if (!kvnet::IsSuccessStatus(status))
        return FALSE;
    m_bChunked = kvnet::HasChunkedCoding(header, static_cast<size_t>(length));
    return TRUE;
}

// Receives straight into the free end of the receive buffer, which doubles
// whenever less than one header-sized read would fit beside the terminating
// zero. Reads of the whole free space keep the number of receive calls low.
// A chunked body ends with its last chunk: a server may keep the connection
// open after it, so the exchange ends there instead of at the close.
BOOL CHttpUpload::GetData(int* length, int bodyCount) {
    using Progress = kvnet::ChunkedTracker::Progress;
    kvnet::ChunkedTracker chunks;
    auto track = [&](int from, int count) {
        return m_bChunked ? chunks.Feed(m_pRecvBuf.get() + from, static_cast<size_t>(count))
                          : Progress::NeedMore;
    };
    int held = bodyCount;
    Progress progress = track(0, held);
    while (progress == Progress::NeedMore) {
        if (m_nBufSize - held - 1 < kReceivePiece && !ExpandBuffer())
            return FALSE;
        const int count = recv(m_socket, m_pRecvBuf.get() + held, m_nBufSize - held - 1, 0);
        if (count == SOCKET_ERROR) {
            WriteLog(L"recv content SOCKET_ERROR");
            return FALSE;
        }
        if (count == 0)
            break;
        progress = track(held, count);
        held += count;
    }
    if (progress != Progress::NeedMore)
        CloseSocket();
    if (progress == Progress::Malformed) {
        WriteLog(L"recv content broken chunked body");
        return FALSE;
    }
    WriteLog(progress == Progress::Complete ? L"recv content last chunk"
                                            : L"recv content nLen == 0");
    m_pRecvBuf[held] = '\0';
    WriteLog(L"RecvResponse GetData end");
    *length = held;
    if (!m_bChunked) {
        WriteLog(L"RecvResponse end");
        return TRUE;
    }
    return DecodeChunked(length);
}

BOOL CHttpUpload::DecodeChunked(int* length) {
    size_t decoded = 0;
    if (kvnet::DecodeChunkedInPlace(m_pRecvBuf.get(), static_cast<size_t>(*length), &decoded) !=
        kvnet::ChunkedResult::Ok)
        return FALSE;
    m_pRecvBuf[decoded] = '\0';
    *length = static_cast<int>(decoded);
    WriteLog(L"RecvResponse end");
    return TRUE;
}

BOOL CHttpUpload::ExpandBuffer() {
    if (m_nBufSize > INT_MAX / 2)
        return FALSE;
    char* larger = new (std::nothrow) char[static_cast<size_t>(m_nBufSize) * 2];
    if (larger == nullptr)
        return FALSE;
    std::memcpy(larger, m_pRecvBuf.get(), static_cast<size_t>(m_nBufSize));
    m_pRecvBuf.reset(larger);
    m_nBufSize *= 2;
    return TRUE;
}

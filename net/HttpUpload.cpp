#include "net/HttpUpload.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>

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
const int kBodyPiece = 1 << 20;

// Waits for reply bytes no longer than the limits allow. Each wait ends at
// the header deadline or at the end of the current low-speed window, so a
// server that sends a byte now and then is caught as surely as a silent one.
// While a limit runs the socket does not block: bytes already in are taken
// at once, and only a receive that would block waits, so a fast reply costs
// one call per piece rather than a wait and a receive.
class CReceivePace {
public:
    static const int kTooSlow = -2;

    CReceivePace(SOCKET socket, const KvReceiveLimits& limits)
        : m_socket(socket), m_limits(limits), m_deadline(Later(limits.headerMs)) {}
    ~CReceivePace() { Finish(); }
    CReceivePace(const CReceivePace&) = delete;
    CReceivePace& operator=(const CReceivePace&) = delete;

    // The header is in: the low-speed windows start.
    void StartBody() {
        m_inBody = true;
        m_deadline = Later(m_limits.windowMs);
        m_windowBytes = 0;
    }

    // The connection goes on blocking, as its other users expect; before it
    // is closed, since a closed handle may already be another socket's.
    void Finish() { SetBlocking(true); }

    // Bytes received, 0 when the server closed, SOCKET_ERROR or kTooSlow.
    int Receive(char* buffer, int size) {
        if (m_deadline == 0) { // only the connection's own silence limit
            if (!SetBlocking(true))
                return SOCKET_ERROR;
            return recv(m_socket, buffer, size, 0);
        }
        if (!SetBlocking(false))
            return SOCKET_ERROR;
        for (;;) {
            if (!WithinLimits())
                return kTooSlow;
            const int count = recv(m_socket, buffer, size, 0);
            if (count > 0)
                m_windowBytes += count;
            if (count != SOCKET_ERROR || WSAGetLastError() != WSAEWOULDBLOCK)
                return count;
            if (WaitReadable() == SOCKET_ERROR)
                return SOCKET_ERROR;
        }
    }

private:
    static ULONGLONG Later(int ms) { return ms > 0 ? GetTickCount64() + ms : 0; }

    // Switches the socket's mode only when it changes.
    bool SetBlocking(bool blocking) {
        if (m_blocking == blocking)
            return true;
        u_long nonBlocking = blocking ? 0 : 1;
        if (ioctlsocket(m_socket, FIONBIO, &nonBlocking) != 0)
            return false;
        m_blocking = blocking;
        return true;
    }

    // A window that brought enough makes way for the next.
    bool WithinLimits() {
        if (m_deadline == 0 || GetTickCount64() < m_deadline)
            return true;
        if (!m_inBody || m_windowBytes < m_limits.minWindowBytes)
            return false;
        StartBody();
        return true;
    }

    int WaitReadable() {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_socket, &readable);
        const ULONGLONG ms = m_deadline - (std::min)(GetTickCount64(), m_deadline);
        timeval wait = {static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
        return select(0, &readable, nullptr, nullptr, &wait);
    }

    SOCKET m_socket;
    KvReceiveLimits m_limits;
    ULONGLONG m_deadline;
    bool m_inBody = false;
    bool m_blocking = true; // as the connection library hands it over
    long long m_windowBytes = 0;
};

// Writes the log line and keeps the reason for people.
bool Fail(const wchar_t* pszLogLine, const char* pszWhy, std::string* why) {
    WriteLog(pszLogLine);
    *why = pszWhy;
    return false;
}

bool ReceiveHeader(CReceivePace& pace, char* header, size_t* held, size_t* headerEnd,
                   std::string* why) {
    for (;;) {
        char piece[kReceivePiece];
        const int count = pace.Receive(piece, sizeof(piece));
        if (count == CReceivePace::kTooSlow)
            return Fail(L"receive header too slow", "the reply header did not come in time", why);
        if (count == SOCKET_ERROR)
            return Fail(L"receive header SOCKET_ERROR",
                        "the connection failed while the reply header was awaited", why);
        if (count == 0)
            return Fail(L"receive header closed before the blank line",
                        "the server closed the connection before the end of the reply header", why);
        kvnet::HeaderScan scan =
            kvnet::AppendHeaderBytes(header, kvnet::kReplyHeaderCapacity, held, piece,
                                     static_cast<size_t>(count), headerEnd);
        if (scan == kvnet::HeaderScan::TooLong)
            return Fail(L"Error header", "the reply header is longer than 2047 bytes", why);
        if (scan == kvnet::HeaderScan::Complete) {
            WriteLog(L"RecvResponse ParseRetHeader");
            return true;
        }
    }
}

// Ends the part that starts at `start`. A part that would carry a delimiter
// line is taken out again: the server would read parts into it that the
// caller never sent.
BOOL EndPart(std::string& body, size_t start) {
    if (kvnet::HoldsFormDelimiter(body.data() + start, body.size() - start)) {
        body.resize(start);
        return FALSE;
    }
    body += "\r\n";
    return TRUE;
}

// What the connection library's code means, for people.
std::string ConnectFailure(int code, const char* host, int port) {
    const std::string where = std::string(host) + ":" + std::to_string(port);
    switch (code) {
    case -1:
        return std::string("the host name ") + host + " cannot be resolved";
    case -2:
        return *host == '\0' ? "the URL names no host"
                             : "the port " + std::to_string(port) + " is outside 1 to 65535";
    case -3:
        return "no socket could be made";
    case -5:
        return where + " refused the connection or did not accept it in time";
    default:
        return "the connection to " + where + " failed (" + std::to_string(code) + ")";
    }
}

enum class BodyEnd { Closed, LastChunk, Failed };

// Hands the body on as it arrives. A chunked body ends with its last chunk:
// a server may keep the connection open after it, so the exchange ends there
// instead of at the close.
class CBodyReader {
public:
    CBodyReader(const std::function<bool(const char*, int)>& take, bool chunked)
        : m_take(take), m_chunked(chunked) {}

    void ExpectLength(uint64_t length) {
        m_expectLength = true;
        m_expected = length;
    }

    BodyEnd Read(CReceivePace& pace, char* early, size_t earlyCount) {
        if (!Deliver(early, earlyCount))
            return BodyEnd::Failed;
        std::unique_ptr<char[]> piece(new char[kBodyPiece]);
        while (m_progress == Progress::NeedMore) {
            const int count = pace.Receive(piece.get(), kBodyPiece);
            if (count == CReceivePace::kTooSlow)
                return Failed(L"recv content too slow", "the reply body came too slowly");
            if (count == SOCKET_ERROR)
                return Failed(L"recv content SOCKET_ERROR",
                              "the connection failed while the reply body was read");
            if (count == 0)
                return AtClose();
            if (!Deliver(piece.get(), static_cast<size_t>(count)))
                return BodyEnd::Failed;
        }
        if (m_progress == Progress::Malformed)
            return Failed(L"recv content broken chunked body",
                          "the reply's chunked coding is broken");
        WriteLog(L"recv content last chunk");
        return BodyEnd::LastChunk;
    }

    // Why the body failed, for people; empty when its receiver refused it
    // (the receiver knows why).
    const std::string& Why() const { return m_why; }

private:
    using Progress = kvnet::ChunkedTracker::Progress;

    BodyEnd Failed(const wchar_t* pszLogLine, const char* pszWhy) {
        Fail(pszLogLine, pszWhy, &m_why);
        return BodyEnd::Failed;
    }

    bool Deliver(char* data, size_t count) {
        size_t payload = count;
        if (m_chunked)
            m_progress = m_chunks.Feed(data, count, data, &payload);
        m_received += count;
        if (payload > 0 && !m_take(data, static_cast<int>(payload))) {
            WriteLog(L"recv content refused by its receiver");
            return false;
        }
        return true;
    }

    // A chunked body without its last chunk, or a body shorter than it was
    // announced, was cut off.
    BodyEnd AtClose() {
        WriteLog(L"recv content nLen == 0");
        if (m_chunked) {
            m_why = "the server closed the connection before the last chunk";
            return BodyEnd::Failed;
        }
        if (m_expectLength && m_received < m_expected)
            return Failed(L"recv content shorter than its Content-Length",
                          "the reply is shorter than its Content-Length");
        return BodyEnd::Closed;
    }

    const std::function<bool(const char*, int)>& m_take;
    bool m_chunked;
    std::string m_why;
    kvnet::ChunkedTracker m_chunks;
    Progress m_progress = Progress::NeedMore;
    bool m_expectLength = false;
    uint64_t m_expected = 0;
    uint64_t m_received = 0;
};

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
    m_strFailure.clear();
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
    const char* problem =
        kvnet::CheckHttpUrl(url, length > 0 ? static_cast<size_t>(length) : 0, &parts);
    if (problem != nullptr) {
        m_strFailure = std::string("the URL is not http://host[:port]/path: ") + problem;
        return FALSE;
    }
    std::memcpy(m_szHost, parts.host, sizeof(m_szHost));
    std::memcpy(m_szPath, parts.path, sizeof(m_szPath));
    m_nPort = parts.port;
    return TRUE;
}

int CHttpUpload::Connect() {
    INT_PTR result = brokerConnect(m_szHost, m_nPort);
    if (result < 0) {
        m_strFailure = ConnectFailure(static_cast<int>(result), m_szHost, m_nPort);
        return static_cast<int>(result);
    }
    m_socket = static_cast<SOCKET>(result);
    return 0;
}

BOOL CHttpUpload::AddFormData(LPCSTR name, LPCSTR value) {
    if (name == nullptr || value == nullptr)
        return FALSE;
    const size_t start = m_strBody.size();
    if (!kvnet::AppendTextPartHeader(m_strBody, name))
        return FALSE;
    m_strBody += value;
    return EndPart(m_strBody, start);
}

BOOL CHttpUpload::AddFormFile(LPCSTR name, LPCSTR path, BOOL base64) {
    if (name == nullptr || path == nullptr)
        return FALSE;
    const size_t start = m_strBody.size();
    if (!kvnet::AppendFilePartHeader(m_strBody, name, kvnet::FileNameOfPath(path), base64 != FALSE))
        return FALSE;
    // A missing file is created empty and sent as an empty part.
    CUniqueFile file(
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid() || !AppendFileContent(file.Get(), base64)) {
        m_strBody.resize(start);
        return FALSE;
    }
    return EndPart(m_strBody, start);
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

// The whole body in the receive buffer, which doubles whenever a piece would
// not fit beside the terminating zero.
BOOL CHttpUpload::RecvResponse(int* length) {
    std::memset(m_pRecvBuf.get(), 0, static_cast<size_t>(m_nBufSize));
    int held = 0;
    auto keep = [&](const char* data, int count) {
        while (m_nBufSize - held - 1 < count) {
            if (!ExpandBuffer())
                return false;
        }
        std::memcpy(m_pRecvBuf.get() + held, data, static_cast<size_t>(count));
        held += count;
        return true;
    };
    if (!ReceiveBody(keep))
        return FALSE;
    m_pRecvBuf[held] = '\0';
    *length = held;
    return TRUE;
}

BOOL CHttpUpload::ReceiveBody(const std::function<bool(const char*, int)>& take,
                              const KvReceiveLimits& limits) {
    WriteLog(L"Enter RecvResponse");
    m_strFailure.clear();
    CReceivePace pace(m_socket, limits);
    char header[kvnet::kReplyHeaderCapacity] = {};
    size_t held = 0;
    size_t headerEnd = 0;
    if (!ReceiveHeader(pace, header, &held, &headerEnd, &m_strFailure))
        return FALSE;
    header[headerEnd] = '\0';
    if (!ParseRetHeader(header, static_cast<int>(headerEnd))) {
        WriteLog(L"ParseRetHeader ERROR");
        m_strFailure = "the server answered " + kvnet::StatusLineOf(header, headerEnd);
        return FALSE;
    }
    CBodyReader body(take, m_bChunked);
    uint64_t announced = 0;
    if (!m_bChunked && kvnet::FindContentLength(header, headerEnd, &announced))
        body.ExpectLength(announced);
    pace.StartBody();
    const BodyEnd end = body.Read(pace, header + headerEnd + 4, held - headerEnd - 4);
    m_strFailure = body.Why();
    pace.Finish();
    if (end != BodyEnd::Closed)
        CloseSocket();
    const bool whole = end == BodyEnd::Closed || end == BodyEnd::LastChunk;
    if (whole) {
        WriteLog(L"RecvResponse GetData end");
        WriteLog(L"RecvResponse end");
    }
    // Once more for the receive around the body read, whatever its outcome:
    // logs are compared line by line against the client's known sequence.
    WriteLog(L"RecvResponse end");
    return whole ? TRUE : FALSE;
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

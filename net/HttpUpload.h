// A one-shot HTTP/1.1 client: one multipart/form-data POST per connection,
// the reply read until the server closes the connection or, for a chunked
// reply, until its last chunk.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "runtime/KelvaneApi.h"

#include <functional>
#include <memory>
#include <string>

// How slow a reply may be: its header must be in within `headerMs` of the
// start of the receive, and from then on every `windowMs` must bring at least
// `minWindowBytes`, so that a server dripping bytes cannot hold the caller
// for long. A time of 0 sets no limit.
struct KvReceiveLimits {
    int headerMs = 30000;
    int windowMs = 30000;
    int minWindowBytes = 1024;
};

class KELVANE_API CHttpUpload {
public:
    CHttpUpload();
    ~CHttpUpload();
    CHttpUpload(const CHttpUpload&) = delete;
    CHttpUpload& operator=(const CHttpUpload&) = delete;

    // Closes any connection and empties body, buffers, host and path.
    void Reset();
    // Resets, parses the URL and connects: 0 when connected, -6 for a URL
    // that is not accepted, else the connection library's negative code.
    int Init(LPCSTR url, int length);

    // Parts, in the order in which they are to appear. A part that would
    // hold the boundary after a CR or LF is refused and leaves the body as it
    // was, as are a part whose header does not fit, a name that holds a quote
    // or a line break, and a file that cannot be read.
    BOOL AddFormData(LPCSTR name, LPCSTR value);
    BOOL AddFormFile(LPCSTR name, LPCSTR path, BOOL base64);

    // Closes the form and sends header and body. On failure the connection
    // is closed, so that the receive that follows fails at once.
    BOOL Request();

    // The reply body, zero-terminated inside the receive buffer (valid until
    // the next Reset), or null when the reply failed or was empty.
    char* RetRecvDataPt(int* length = nullptr);
    BOOL RecvResponse(int* length);

    // Receives the reply and hands its body, chunked coding removed, to
    // `take` piece by piece as it arrives, without holding it. False when
    // the reply fails, is refused, is too slow, is shorter than its
    // Content-Length, or `take` returns false.
    BOOL ReceiveBody(const std::function<bool(const char*, int)>& take,
                     const KvReceiveLimits& limits = KvReceiveLimits());

    // Why the last Init or receive failed, in a few words for people ("the
    // server answered 404 Not Found"); empty while nothing has failed.
    const char* GetFailure() const { return m_strFailure.c_str(); }

    int GetBufSize() const { return m_nBufSize; }
    const char* GetHost() const { return m_szHost; }
    int GetPort() const { return m_nPort; }
    const char* GetPath() const { return m_szPath; }
    bool IsConnected() const { return m_socket != INVALID_SOCKET; }

private:
    BOOL ParseURL(LPCSTR url, int length);
    int Connect();
    void CloseSocket();
    BOOL AppendFileContent(HANDLE file, BOOL base64);
    BOOL SendWhole(const char* data, size_t length);
    BOOL ParseRetHeader(const char* header, int length);
    BOOL ExpandBuffer();

    int m_nBufSize;
    SOCKET m_socket;
    char m_szHost[1024];
    int m_nPort;
    char m_szPath[1024];
    bool m_bChunked;
    std::unique_ptr<char[]> m_pRecvBuf;
    std::string m_strBody;
    std::string m_strFailure;
};

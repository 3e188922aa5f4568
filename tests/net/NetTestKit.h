// What the client's tests share: a scripted one-connection server on
// 127.0.0.1 and the module's log.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <thread>

#include "tests/common/ImageKit.h"

struct ReplyScript {
    std::string reply;
    size_t pieceSize = 1 << 20; // each piece is sent with its own send call
    int pauseMs = 0;            // before each piece, so that receives stay separate
    bool holdOpen = false;      // after the reply, wait for the client to close
};

class CLoopbackServer {
public:
    explicit CLoopbackServer(ReplyScript script);
    ~CLoopbackServer(); // its thread makes it a single object, never copied

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    // Waits for the exchange to end and returns the bytes the client sent.
    const std::string& Request();

private:
    void Serve();

    ReplyScript m_script;
    SOCKET m_listener;
    int m_port;
    std::string m_request;
    std::thread m_thread;
};

// A listening socket on 127.0.0.1 at a free port.
SOCKET ListenOnLoopback(int backlog, int* port);
inline int UnusedPort() {
    int port = 0;
    closesocket(ListenOnLoopback(1, &port));
    return port;
}
inline std::string MakeReply(const std::string& status, const std::string& headers,
                             const std::string& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "\r\n" + body;
}
// `text` in chunks of `chunkSize` bytes, with the zero-size last chunk.
std::string ChunkBody(const std::string& text, size_t chunkSize);
inline std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// The module's log file, which the log writes only while it exists: made,
// and the log pointed at it, for the life of the object.
class CCapturedLog {
public:
    CCapturedLog();
    ~CCapturedLog();
    std::string Text() const { return ImageKit::ReadBytes(m_path); }

private:
    std::wstring m_path;
};

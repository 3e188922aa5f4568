// A one-connection HTTP server on 127.0.0.1 for the client's tests: it
// records the request and answers with scripted pieces.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

struct ReplyScript {
    // Sent one after another, each with its own send call.
    std::vector<std::string> pieces;
    // Pause before each piece, so that the client sees separate receives.
    int pauseMs = 0;
    // Read the request (up to its announced length) before replying.
    bool readRequest = true;
};

class CLoopbackServer {
public:
    explicit CLoopbackServer(ReplyScript script);
    ~CLoopbackServer();
    CLoopbackServer(const CLoopbackServer&) = delete;
    CLoopbackServer& operator=(const CLoopbackServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path) const;
    // Waits for the exchange to end and returns the bytes the client sent.
    const std::string& Request();

private:
    void Serve();
    void ReadRequest(SOCKET client);

    ReplyScript m_script;
    SOCKET m_listener;
    int m_port;
    std::string m_request;
    std::thread m_thread;
};

// A reply with the given status line and extra header lines, then `body`.
std::string MakeReply(const std::string& status, const std::string& headers,
                      const std::string& body);
// `text` in chunks of `chunkSize` bytes, with the zero-size last chunk.
std::string ChunkBody(const std::string& text, size_t chunkSize);
// A port on which nobody listens (bound, then released).
int UnusedPort();

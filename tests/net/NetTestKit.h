// What the client's tests share: a scripted one-connection server on
// 127.0.0.1, temporary files and the module's log.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

struct ReplyScript {
    std::vector<std::string> pieces; // each sent with its own send call
    int pauseMs = 0;                 // before each piece, so that receives stay separate
    bool holdOpen = false;           // after the reply, wait for the client to close
};

class CLoopbackServer {
public:
    explicit CLoopbackServer(ReplyScript script);
    ~CLoopbackServer();
    CLoopbackServer(const CLoopbackServer&) = delete;
    CLoopbackServer& operator=(const CLoopbackServer&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;
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

// One reply, sent in pieces of `pieceSize` bytes, `pauseMs` apart.
ReplyScript Answer(const std::string& reply, size_t pieceSize = 1 << 20, int pauseMs = 0);
std::string MakeReply(const std::string& status, const std::string& headers,
                      const std::string& body);
// `text` in chunks of `chunkSize` bytes, with the zero-size last chunk.
std::string ChunkBody(const std::string& text, size_t chunkSize);
int UnusedPort();

// A fresh file name in the temporary folder; the file is not made.
std::string FreshTempPath();
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// The module's log file, which the log writes only while it exists: made,
// and the log pointed at it, for the life of the object.
class CCapturedLog {
public:
    CCapturedLog();
    ~CCapturedLog();
    std::string Text() const { return ReadWholeFile(m_path); }

private:
    std::string m_path;
};

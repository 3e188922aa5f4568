#include "NetTestKit.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "runtime/Log.h"
#include "runtime/ModuleApp.h"

#include <shlobj.h>

namespace {

SOCKET ListenOnLoopback(int* port) {
    static WSADATA winsock;
    static const int started = WSAStartup(MAKEWORD(2, 2), &winsock);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (started != 0 || s == INVALID_SOCKET ||
        bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(s, 4) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    *port = ntohs(address.sin_port);
    return s;
}

// Reads until the header and its announced body are in, or the client closes.
std::string ReadRequest(SOCKET client) {
    std::string request;
    char piece[4096];
    for (;;) {
        const size_t headerEnd = request.find("\r\n\r\n");
        const size_t length = request.find("Content-Length: ");
        if (headerEnd != std::string::npos && length != std::string::npos &&
            request.size() >= headerEnd + 4 + std::strtoul(&request[length + 16], nullptr, 10))
            return request;
        const int count = recv(client, piece, sizeof(piece), 0);
        if (count <= 0)
            return request;
        request.append(piece, static_cast<size_t>(count));
    }
}

} // namespace

CLoopbackServer::CLoopbackServer(ReplyScript script)
    : m_script(std::move(script)), m_listener(ListenOnLoopback(&m_port)),
      m_thread(&CLoopbackServer::Serve, this) {}

CLoopbackServer::~CLoopbackServer() {
    closesocket(m_listener); // ends an accept that no client answered
    if (m_thread.joinable())
        m_thread.join();
}

std::string CLoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

const std::string& CLoopbackServer::Request() {
    if (m_thread.joinable())
        m_thread.join();
    return m_request;
}

void CLoopbackServer::Serve() {
    SOCKET client = accept(m_listener, nullptr, nullptr);
    if (client == INVALID_SOCKET)
        return;
    m_request = ReadRequest(client);
    for (const std::string& piece : m_script.pieces) {
        Sleep(m_script.pauseMs);
        if (send(client, piece.data(), static_cast<int>(piece.size()), 0) !=
            static_cast<int>(piece.size()))
            break;
    }
    char byte;
    while (m_script.holdOpen && recv(client, &byte, 1, 0) > 0) {
    }
    shutdown(client, SD_SEND);
    closesocket(client);
}

ReplyScript Answer(const std::string& reply, size_t pieceSize, int pauseMs) {
    ReplyScript script;
    for (size_t at = 0; at < reply.size(); at += pieceSize)
        script.pieces.push_back(reply.substr(at, pieceSize));
    script.pauseMs = pauseMs;
    return script;
}

std::string MakeReply(const std::string& status, const std::string& headers,
                      const std::string& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "\r\n" + body;
}

std::string ChunkBody(const std::string& text, size_t chunkSize) {
    std::string chunked;
    char sizeLine[32];
    for (size_t at = 0; at < text.size(); at += chunkSize) {
        const std::string chunk = text.substr(at, chunkSize);
        snprintf(sizeLine, sizeof(sizeLine), "%zx\r\n", chunk.size());
        chunked += sizeLine + chunk + "\r\n";
    }
    return chunked + "0\r\n\r\n";
}

int UnusedPort() {
    int port = 0;
    closesocket(ListenOnLoopback(&port));
    return port;
}

std::string FreshTempPath() {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "kvn", 0, path);
    DeleteFileA(path);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

CCapturedLog::CCapturedLog() : m_path(CStringA(GetLogFilePath()).GetString()) {
    SHCreateDirectoryExW(nullptr, GetConfigDirectory(), nullptr);
    WriteWholeFile(m_path, "");
    InitLog(L"Kelvane", GetLogFilePath());
}

CCapturedLog::~CCapturedLog() {
    DeleteFileA(m_path.c_str());
}

#include "NetTestKit.h"

#include <cstdlib>
#include <stdexcept>

#include "runtime/Log.h"
#include "runtime/ModuleApp.h"

#include <shlobj.h>

SOCKET ListenOnLoopback(int backlog, int* port) {
    static WSADATA winsock;
    static const int started = WSAStartup(MAKEWORD(2, 2), &winsock);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (started != 0 || s == INVALID_SOCKET ||
        bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(s, backlog) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    *port = ntohs(address.sin_port);
    return s;
}

namespace {

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
    : m_script(std::move(script)), m_listener(ListenOnLoopback(4, &m_port)),
      m_thread(&CLoopbackServer::Serve, this) {}

CLoopbackServer::~CLoopbackServer() {
    closesocket(m_listener); // ends an accept that no client answered
    if (m_thread.joinable())
        m_thread.join();
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
    const std::string& reply = m_script.reply;
    for (size_t at = 0; at < reply.size(); at += m_script.pieceSize) {
        Sleep(m_script.pauseMs);
        const int size = static_cast<int>(std::min(m_script.pieceSize, reply.size() - at));
        if (send(client, reply.data() + at, size, 0) != size)
            break;
    }
    char byte;
    while (m_script.holdOpen && recv(client, &byte, 1, 0) > 0) {
    }
    shutdown(client, SD_SEND);
    closesocket(client);
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

CCapturedLog::CCapturedLog() : m_path(GetLogFilePath().GetString()) {
    SHCreateDirectoryExW(nullptr, GetConfigDirectory(), nullptr);
    ImageKit::WriteBytes(m_path, "");
    InitLog(L"Kelvane", GetLogFilePath());
}

CCapturedLog::~CCapturedLog() {
    DeleteFileW(m_path.c_str());
}

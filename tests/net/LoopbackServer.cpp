#include "LoopbackServer.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>

namespace {

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw std::runtime_error("WSAStartup failed");
    }
    ~WinsockUser() { WSACleanup(); }
};

SOCKET ListenOnLoopback(int* port) {
    static WinsockUser winsock;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(s, 4) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    *port = ntohs(address.sin_port);
    return s;
}

// The announced body length of a request header, 0 when none is given.
size_t ContentLength(const std::string& header) {
    const std::string field = "Content-Length: ";
    size_t at = header.find(field);
    return at == std::string::npos ? 0
                                   : std::strtoul(header.c_str() + at + field.size(), nullptr, 10);
}

} // namespace

CLoopbackServer::CLoopbackServer(ReplyScript script)
    : m_script(std::move(script)), m_listener(ListenOnLoopback(&m_port)),
      m_thread(&CLoopbackServer::Serve, this) {}

CLoopbackServer::~CLoopbackServer() {
    if (m_thread.joinable()) {
        closesocket(m_listener);
        m_thread.join();
    }
}

std::string CLoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

const std::string& CLoopbackServer::Request() {
    if (m_thread.joinable()) {
        m_thread.join();
        closesocket(m_listener);
    }
    return m_request;
}

void CLoopbackServer::Serve() {
    SOCKET client = accept(m_listener, nullptr, nullptr);
    if (client == INVALID_SOCKET)
        return;
    BOOL noDelay = TRUE;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
    if (m_script.readRequest)
        ReadRequest(client);
    for (const std::string& piece : m_script.pieces) {
        if (m_script.pauseMs > 0)
            Sleep(m_script.pauseMs);
        if (send(client, piece.data(), static_cast<int>(piece.size()), 0) !=
            static_cast<int>(piece.size()))
            break;
    }
    shutdown(client, SD_SEND);
    closesocket(client);
}

// Reads until the header and its announced body are in, or the client closes.
void CLoopbackServer::ReadRequest(SOCKET client) {
    char piece[4096];
    for (;;) {
        const size_t headerEnd = m_request.find("\r\n\r\n");
        if (headerEnd != std::string::npos &&
            m_request.size() >= headerEnd + 4 + ContentLength(m_request.substr(0, headerEnd)))
            return;
        const int count = recv(client, piece, sizeof(piece), 0);
        if (count <= 0)
            return;
        m_request.append(piece, static_cast<size_t>(count));
    }
}

std::string MakeReply(const std::string& status, const std::string& headers,
                      const std::string& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "\r\n" + body;
}

std::string ChunkBody(const std::string& text, size_t chunkSize) {
    static const char hex[] = "0123456789abcdef";
    std::string chunked;
    for (size_t at = 0; at < text.size(); at += chunkSize) {
        const size_t size = (std::min)(chunkSize, text.size() - at);
        std::string sizeLine;
        for (size_t rest = size; rest > 0; rest /= 16)
            sizeLine.insert(sizeLine.begin(), hex[rest % 16]);
        chunked += sizeLine + "\r\n" + text.substr(at, size) + "\r\n";
    }
    return chunked + "0\r\n\r\n";
}

int UnusedPort() {
    int port = 0;
    SOCKET s = ListenOnLoopback(&port);
    closesocket(s);
    return port;
}

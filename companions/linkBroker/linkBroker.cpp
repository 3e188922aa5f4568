#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "companions/linkBroker/linkBroker.h"

namespace {

const int kConnectTimeoutMs = 10000;
const int kSilenceTimeoutMs = 30000;
const size_t kMaxHostName = 253;
const size_t kMaxLabel = 63;

// Winsock is started once per process and left running until it ends: the
// sockets handed out outlive every call of this library.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

// A name that no resolver can answer is refused here, before any query is
// made: too long, an empty or over-long label, or blanks and control bytes.
bool IsResolvableName(const char* host) {
    size_t length = std::strlen(host);
    if (length > 0 && host[length - 1] == '.')
        --length;
    if (length == 0 || length > kMaxHostName)
        return false;
    size_t labelLength = 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(host[i]);
        if (c <= ' ' || c == 0x7F)
            return false;
        if (c == '.') {
            if (labelLength == 0)
                return false;
            labelLength = 0;
        } else if (++labelLength > kMaxLabel) {
            return false;
        }
    }
    return labelLength > 0;
}

bool SetBlocking(SOCKET s, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// Connects without blocking and waits at most `timeoutMs` for the outcome.
bool ConnectWithin(SOCKET s, const sockaddr* address, int addressLength, int timeoutMs) {
    if (!SetBlocking(s, false))
        return false;
    if (connect(s, address, addressLength) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return false;
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        if (select(0, nullptr, &writable, &failed, &timeout) != 1 || !FD_ISSET(s, &writable))
            return false;
        int error = 0;
        int errorLength = sizeof(error);
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &errorLength) !=
                0 ||
            error != 0)
            return false;
    }
    return SetBlocking(s, true);
}

// Silence time-outs end a receive or send that would otherwise wait forever;
// no delay for small writes, since each request goes out as two whole sends.
void SetStreamOptions(SOCKET s, int silenceTimeoutMs) {
    DWORD timeout = static_cast<DWORD>(silenceTimeoutMs);
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
}

// Tries each address in turn; the code tells whether any socket was made.
INT_PTR ConnectToFirst(const addrinfo* addresses, int connectTimeoutMs, int silenceTimeoutMs) {
    INT_PTR result = BROKER_NO_SOCKET;
    for (const addrinfo* a = addresses; a != nullptr; a = a->ai_next) {
        SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET)
            continue;
        if (ConnectWithin(s, a->ai_addr, static_cast<int>(a->ai_addrlen), connectTimeoutMs)) {
            SetStreamOptions(s, silenceTimeoutMs);
            return static_cast<INT_PTR>(s);
        }
        closesocket(s);
        result = BROKER_REFUSED;
    }
    return result;
}

} // namespace

extern "C" INT_PTR __cdecl brokerConnectTimed(const char* host, int port, int connectTimeoutMs,
                                              int silenceTimeoutMs) {
    if (host == nullptr || *host == '\0' || port <= 0 || port > 65535 || connectTimeoutMs <= 0 ||
        silenceTimeoutMs < 0)
        return BROKER_BAD_ARGUMENT;
    if (!StartWinsock())
        return BROKER_NO_SOCKET;
    if (!IsResolvableName(host))
        return BROKER_UNRESOLVED;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    char service[8];
    std::snprintf(service, sizeof(service), "%d", port);
    addrinfo* addresses = nullptr;
    if (getaddrinfo(host, service, &hints, &addresses) != 0)
        return BROKER_UNRESOLVED;
    INT_PTR result = ConnectToFirst(addresses, connectTimeoutMs, silenceTimeoutMs);
    freeaddrinfo(addresses);
    return result;
}

extern "C" INT_PTR __cdecl brokerConnect(const char* host, int port) {
    return brokerConnectTimed(host, port, kConnectTimeoutMs, kSilenceTimeoutMs);
}

// The connection library: opens TCP connections for the module's HTTP client.
#pragma once

#include <basetsd.h>

// Codes returned instead of a socket.
enum BrokerError {
    BROKER_UNRESOLVED = -1, // the host name cannot be resolved
    BROKER_BAD_ARGUMENT = -2,
    BROKER_NO_SOCKET = -3, // Winsock cannot be started or no socket made
    BROKER_REFUSED = -5,   // refused, or not accepted within the connect time-out
};

#ifdef __cplusplus
extern "C" {
#endif

// Resolves `host` (narrow, zero-terminated) and connects to `port`. Returns a
// connected, blocking stream socket (closed by the caller with closesocket)
// whose sends and receives fail after 30 seconds of silence, or a negative
// BrokerError. Starts Winsock itself. Waits at most 10 seconds to connect.
INT_PTR __cdecl brokerConnect(const char* host, int port);

// The same with the two time-outs in milliseconds: `connectTimeoutMs` above
// 0, `silenceTimeoutMs` 0 for none.
INT_PTR __cdecl brokerConnectTimed(const char* host, int port, int connectTimeoutMs,
                                   int silenceTimeoutMs);

#ifdef __cplusplus
}
#endif

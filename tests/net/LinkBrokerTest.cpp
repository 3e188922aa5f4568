// The connection library's codes and time-outs.
#include <gtest/gtest.h>

#include "NetTestKit.h"
#include "companions/linkBroker/linkBroker.h"

// An over-long label and a closed port are DownloadXML's suite's: the reason
// it gives names the code brokerConnect returned.
TEST(LinkBroker, RefusesBadArgumentsAndEmptyLabels) {
    const struct {
        const char* host;
        int port;
        INT_PTR code;
    } cases[] = {
        {nullptr, 80, BROKER_BAD_ARGUMENT},    {"", 80, BROKER_BAD_ARGUMENT},
        {"127.0.0.1", 0, BROKER_BAD_ARGUMENT}, {"127.0.0.1", 65536, BROKER_BAD_ARGUMENT},
        {"a..b", 80, BROKER_UNRESOLVED},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.code, brokerConnect(c.host, c.port)) << (c.host ? c.host : "null") << c.port;
}

TEST(LinkBroker, EndsAReceiveAfterTheSilenceTimeOut) {
    CLoopbackServer server({}); // reads until the client gives up, never answers
    INT_PTR s = brokerConnectTimed("127.0.0.1", server.Port(), 1000, 300);
    ASSERT_GE(s, 0);
    char byte;
    EXPECT_EQ(SOCKET_ERROR, recv(static_cast<SOCKET>(s), &byte, 1, 0));
    EXPECT_EQ(WSAETIMEDOUT, WSAGetLastError());
    closesocket(static_cast<SOCKET>(s));
}

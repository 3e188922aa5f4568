// The connection library's codes and time-outs.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <vector>

#include "NetTestKit.h"
#include "companions/linkBroker/linkBroker.h"

TEST(LinkBroker, RefusesBadArgumentsAndNamesThatCannotResolve) {
    EXPECT_EQ(BROKER_BAD_ARGUMENT, brokerConnect(nullptr, 80));
    EXPECT_EQ(BROKER_BAD_ARGUMENT, brokerConnect("", 80));
    EXPECT_EQ(BROKER_BAD_ARGUMENT, brokerConnect("127.0.0.1", 0));
    EXPECT_EQ(BROKER_BAD_ARGUMENT, brokerConnect("127.0.0.1", 65536));
    // Refused before any query: a label longer than 63 characters.
    EXPECT_EQ(BROKER_UNRESOLVED, brokerConnect((std::string(64, 'a') + ".test").c_str(), 80));
    EXPECT_EQ(BROKER_UNRESOLVED, brokerConnect("a..b", 80));
}

TEST(LinkBroker, ReportsARefusedConnection) {
    EXPECT_EQ(BROKER_REFUSED, brokerConnect("127.0.0.1", UnusedPort()));
}

TEST(LinkBroker, GivesUpWhenTheServerDoesNotAccept) {
    WSADATA winsock;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &winsock));
    // A listener whose queue is full lets new connections wait unanswered.
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), length));
    ASSERT_EQ(0, listen(listener, 1));
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<INT_PTR> waiting;
    INT_PTR result = 0;
    for (int attempt = 0; attempt < 8 && result >= 0; ++attempt) {
        result = brokerConnectTimed("127.0.0.1", ntohs(address.sin_port), 300, 0);
        if (result >= 0)
            waiting.push_back(result);
    }
    EXPECT_EQ(BROKER_REFUSED, result);
    for (INT_PTR s : waiting)
        closesocket(static_cast<SOCKET>(s));
    closesocket(listener);
    WSACleanup();
}

TEST(LinkBroker, EndsAReceiveAfterTheSilenceTimeOut) {
    ReplyScript silent; // reads until the client gives up, never answers
    CLoopbackServer server(silent);
    INT_PTR s = brokerConnectTimed("127.0.0.1", server.Port(), 1000, 300);
    ASSERT_GE(s, 0);
    char byte;
    EXPECT_EQ(SOCKET_ERROR, recv(static_cast<SOCKET>(s), &byte, 1, 0));
    EXPECT_EQ(WSAETIMEDOUT, WSAGetLastError());
    closesocket(static_cast<SOCKET>(s));
}

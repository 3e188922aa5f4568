// Downloads an 8 MiB chunked XML reply from a loopback server with
// DownloadXML, with WinHTTP (the system's own client) and with a raw Winsock
// loop that sends the same request and receives the reply into one buffer,
// unparsed and unsaved (the floor), in alternating rounds, and prints the
// median times and DownloadXML's ratios against both.
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "net/InfoUpDown.h"

namespace {

const int kRounds = 15;
const size_t kReplyBytes = 8 << 20;
const size_t kChunkBytes = 16 << 10;

std::string MakeXmlBody() {
    std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<items>\n";
    const std::string end = "</items>\n";
    const size_t longestItem = 64;
    for (int i = 0; body.size() + longestItem + end.size() < kReplyBytes; ++i)
        body +=
            "<item id=\"" + std::to_string(i) + "\">value " + std::to_string(i * 7) + "</item>\n";
    body.append(kReplyBytes - end.size() - body.size(), ' ');
    return body + end;
}

std::string MakeChunkedReply(const std::string& body) {
    std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n"
                        "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
    char sizeLine[32];
    for (size_t at = 0; at < body.size(); at += kChunkBytes) {
        const size_t size = (std::min)(kChunkBytes, body.size() - at);
        std::snprintf(sizeLine, sizeof(sizeLine), "%zx\r\n", size);
        reply += sizeLine;
        reply.append(body, at, size);
        reply += "\r\n";
    }
    return reply + "0\r\n\r\n";
}

// Serves `connections` exchanges one after another: reads the request up to
// its announced body, sends the reply and closes.
class CReplyServer {
public:
    CReplyServer(const std::string& reply, int connections) : m_reply(reply) {
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), length);
        listen(m_listener, 4);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, connections] {
            for (int i = 0; i < connections; ++i)
                ServeOne();
        });
    }
    ~CReplyServer() {
        m_thread.join();
        closesocket(m_listener);
    }
    int Port() const { return m_port; }

private:
    void ServeOne() {
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        ReadRequest(client);
        const size_t piece = 64 << 10;
        for (size_t at = 0; at < m_reply.size(); at += piece)
            send(client, m_reply.data() + at,
                 static_cast<int>((std::min)(piece, m_reply.size() - at)), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
    static void ReadRequest(SOCKET client) {
        std::string request;
        char buffer[4096];
        for (;;) {
            const size_t end = request.find("\r\n\r\n");
            if (end != std::string::npos) {
                const size_t at = request.find("Content-Length: ");
                const size_t body = at == std::string::npos
                                        ? 0
                                        : std::strtoul(request.c_str() + at + 16, nullptr, 10);
                if (request.size() >= end + 4 + body)
                    return;
            }
            const int count = recv(client, buffer, sizeof(buffer), 0);
            if (count <= 0)
                return;
            request.append(buffer, count);
        }
    }

    std::string m_reply;
    SOCKET m_listener;
    int m_port;
    std::thread m_thread;
};

const char kFormBody[] = "--FORM_BOUNDARY\r\ncontent-disposition: form-data; name=\"a\"\r\n\r\n"
                         "1\r\n--FORM_BOUNDARY--\r\n";

bool SaveFromDeclaration(const std::wstring& path, const std::string& text) {
    const size_t start = text.find("<?xml");
    if (start == std::string::npos)
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data() + start, static_cast<DWORD>(text.size() - start),
                              &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() - start;
}

// The same exchange through WinHTTP: one POST, the whole reply, the file.
bool DownloadWithWinHttp(int port, const std::wstring& outFile) {
    HINTERNET session = WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection =
        session ? WinHttpConnect(session, L"127.0.0.1", static_cast<INTERNET_PORT>(port), 0)
                : nullptr;
    HINTERNET request =
        connection ? WinHttpOpenRequest(connection, L"POST", L"/bench", nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                   : nullptr;
    const wchar_t* headers = L"Connection: close\r\n"
                             L"Content-type: multipart/form-data, boundary=FORM_BOUNDARY\r\n";
    std::string reply;
    bool ok =
        request != nullptr &&
        WinHttpSendRequest(request, headers, static_cast<DWORD>(-1L), const_cast<char*>(kFormBody),
                           sizeof(kFormBody) - 1, sizeof(kFormBody) - 1, 0) &&
        WinHttpReceiveResponse(request, nullptr);
    std::vector<char> buffer(64 << 10);
    for (DWORD read = 1; ok && read > 0;) {
        ok = WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read);
        reply.append(buffer.data(), read);
    }
    if (request)
        WinHttpCloseHandle(request);
    if (connection)
        WinHttpCloseHandle(connection);
    if (session)
        WinHttpCloseHandle(session);
    return ok && SaveFromDeclaration(outFile, reply);
}

// The least any client does: connect, send the request, recv everything
// into one buffer of the reply's size until the server closes.
bool ReceiveRaw(int port, std::vector<char>& buffer, size_t replyBytes) {
    SOCKET peer = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    const std::string request = "POST /bench HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                                "Content-type: multipart/form-data, boundary=FORM_BOUNDARY\r\n"
                                "Content-Length: " +
                                std::to_string(sizeof(kFormBody) - 1) + "\r\n\r\n" + kFormBody;
    bool ok = peer != INVALID_SOCKET &&
              connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
              send(peer, request.data(), static_cast<int>(request.size()), 0) ==
                  static_cast<int>(request.size());
    size_t received = 0;
    for (int count = 1; ok && count > 0;) {
        count = recv(peer, buffer.data() + received, static_cast<int>(buffer.size() - received), 0);
        ok = count >= 0 && received + static_cast<size_t>(count) < buffer.size();
        received += count > 0 ? static_cast<size_t>(count) : 0;
    }
    if (peer != INVALID_SOCKET)
        closesocket(peer);
    return ok && received == replyBytes;
}

// The floor plus what a durable save adds: the received bytes written to a
// file and flushed to the disk, as DownloadXML's reply file is. Not a floor:
// it shows where DownloadXML's time goes.
bool ReceiveRawAndSave(int port, std::vector<char>& buffer, size_t replyBytes,
                       const std::wstring& outFile) {
    if (!ReceiveRaw(port, buffer, replyBytes))
        return false;
    HANDLE file = CreateFileW(outFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, buffer.data(), static_cast<DWORD>(replyBytes), &written, nullptr) &&
        written == replyBytes && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

bool DownloadWithKelvane(int port, const std::wstring& outFile) {
    CStringArray fields;
    fields.Add(L"a");
    fields.Add(L"1");
    CInfoUpDown exchange;
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + L"/bench";
    return exchange.DownloadXML(url.c_str(), fields, nullptr, outFile.c_str()) == 0;
}

// DownloadXML's exchange without the save: the client's connect, request and
// receive, the body decoded and dropped. Shows where DownloadXML's time goes.
bool ReceiveWithClient(int port) {
    CHttpUpload upload;
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/bench";
    if (upload.Init(url.c_str(), static_cast<int>(url.size())) != 0 ||
        !upload.AddFormData("a", "1") || !upload.Request())
        return false;
    size_t received = 0;
    const bool ok = upload.ReceiveBody([&received](const char*, int count) {
        received += static_cast<size_t>(count);
        return true;
    }) != FALSE;
    return ok && received == kReplyBytes;
}

template <typename Download> double TimeMs(Download download, bool* ok) {
    const auto start = std::chrono::steady_clock::now();
    *ok = download() && *ok;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

} // namespace

int main() {
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    const std::string body = MakeXmlBody();
    const std::string reply = MakeChunkedReply(body);
    CReplyServer server(reply, 5 * kRounds + 5);
    std::vector<char> rawBuffer(reply.size() + 1); // one more: the end is seen, not assumed
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring kelvaneOut = std::wstring(folder) + L"kv_bench_kelvane.xml";
    const std::wstring winHttpOut = std::wstring(folder) + L"kv_bench_winhttp.xml";
    const std::wstring rawOut = std::wstring(folder) + L"kv_bench_raw.xml";

    bool ok = true;
    // One untimed round each, so that neither pays for first use.
    ok = DownloadWithKelvane(server.Port(), kelvaneOut) &&
         DownloadWithWinHttp(server.Port(), winHttpOut) &&
         ReceiveRaw(server.Port(), rawBuffer, reply.size()) &&
         ReceiveRawAndSave(server.Port(), rawBuffer, reply.size(), rawOut) &&
         ReceiveWithClient(server.Port());
    std::vector<double> kelvaneMs;
    std::vector<double> clientMs;
    std::vector<double> winHttpMs;
    std::vector<double> rawMs;
    std::vector<double> rawSavedMs;
    for (int round = 0; round < kRounds; ++round) {
        rawSavedMs.push_back(TimeMs(
            [&] { return ReceiveRawAndSave(server.Port(), rawBuffer, reply.size(), rawOut); },
            &ok));
        rawMs.push_back(
            TimeMs([&] { return ReceiveRaw(server.Port(), rawBuffer, reply.size()); }, &ok));
        kelvaneMs.push_back(
            TimeMs([&] { return DownloadWithKelvane(server.Port(), kelvaneOut); }, &ok));
        clientMs.push_back(TimeMs([&] { return ReceiveWithClient(server.Port()); }, &ok));
        winHttpMs.push_back(
            TimeMs([&] { return DownloadWithWinHttp(server.Port(), winHttpOut); }, &ok));
    }
    const bool kelvaneSaved = ReadFileBytes(kelvaneOut) == body;
    const bool winHttpSaved = ReadFileBytes(winHttpOut) == body;
    if (!kelvaneSaved || !winHttpSaved)
        std::printf("saved correctly: DownloadXML %d (%zu bytes), WinHTTP %d\n", kelvaneSaved,
                    ReadFileBytes(kelvaneOut).size(), winHttpSaved);
    ok = ok && kelvaneSaved && winHttpSaved;
    if (!ok) {
        std::printf("http_bench: a download failed or saved the wrong bytes\n");
        return 1;
    }
    DeleteFileW(kelvaneOut.c_str());
    DeleteFileW(winHttpOut.c_str());
    DeleteFileW(rawOut.c_str());
    const double kelvane = Median(kelvaneMs);
    const double winHttp = Median(winHttpMs);
    const double raw = Median(rawMs);
    std::printf("8 MiB chunked XML reply, median of %d rounds\n", kRounds);
    std::printf("DownloadXML: %.1f ms\nraw Winsock: %.1f ms (the floor: request sent, reply "
                "received into one buffer)\nWinHTTP:     %.1f ms\n",
                kelvane, raw, winHttp);
    std::printf("ratio against the floor: %.2f (target <= 1.20)\n", kelvane / raw);
    std::printf("where the time goes: the floor plus writing and flushing the same bytes to a "
                "file takes %.1f ms\n",
                Median(rawSavedMs));
    std::printf("                    the client's receive alone, body decoded and dropped, takes "
                "%.1f ms\n",
                Median(clientMs));
    std::printf("ratio against WinHTTP:   %.2f (target <= 1.25)\n", kelvane / winHttp);
    return 0;
}

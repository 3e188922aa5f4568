// Byte-level pieces of the HTTP client: URL splitting, multipart framing,
// the reply header scan, status and coding detection, chunked decoding as
// the body arrives, and Base64. Free of Win32 types so that the same code is
// built natively and fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvnet {

// Capacity of the host and path fields, terminator included.
constexpr size_t kUrlFieldCapacity = 1024;
// Capacity of the buffer that collects the reply header, terminator included.
constexpr size_t kReplyHeaderCapacity = 2048;
// Longest request header, terminator excluded.
constexpr size_t kMaxRequestHeader = 1023;
// Longest part headers, terminator excluded.
constexpr size_t kMaxTextPartHeader = 2047;
constexpr size_t kMaxFilePartHeader = 1023;
// Longest file name put into a file part.
constexpr size_t kMaxPartFileName = 99;

struct UrlParts {
    char host[kUrlFieldCapacity];
    char path[kUrlFieldCapacity];
    int port;
};

// Splits "http://host[:port]/path" (scheme compared without regard to case).
// Reads at most `length` bytes and stops at a zero byte. Refuses anything
// else: a port that is not all digits, a control character or a space
// anywhere, anything that would not fit the fields.
bool ParseHttpUrl(const char* url, size_t length, UrlParts* parts);
// ParseHttpUrl that says what it refused: null when the URL is accepted,
// else which part is wrong, in a few words ("its port is not a number").
const char* CheckHttpUrl(const char* url, size_t length, UrlParts* parts);

// Appends the header of a text part (ending in the blank line). False, and
// nothing appended, when the header would be longer than allowed or the name
// holds a quote, CR or LF.
bool AppendTextPartHeader(std::string& body, const char* name);

// Appends the header of a file part; `fileName` is cut to its longest
// allowed length. False, and nothing appended, when it would be too long or
// a name holds a quote, CR or LF.
bool AppendFilePartHeader(std::string& body, const char* name, const char* fileName, bool base64);

// The part of a backslash path after its last backslash (the whole path
// when there is none).
const char* FileNameOfPath(const char* path);

// Appends the closing boundary line.
void AppendFormEnd(std::string& body);

// True when the bytes hold the boundary right after a CR or an LF: a
// server's multipart parser would start another part there, with a name and
// value of the sender's choosing (common parsers take a bare CR or LF for a
// line break too). Checked over a part from its header on: the boundary that
// opens it (its first byte) does not count, and the header's blank line
// supplies the line break for content that starts with the boundary. Since
// every part ends with CR LF, no boundary can form across two parts.
bool HoldsFormDelimiter(const char* data, size_t length);

// Formats the request header into `out` (kMaxRequestHeader + 1 bytes).
// False when it does not fit.
bool FormatRequestHeader(char* out, const char* path, const char* host, size_t bodyLength);

enum class HeaderScan { NeedMore, Complete, TooLong };

// Collects reply header bytes. `header` has `capacity` bytes, zero beyond
// `*held`. Fails with TooLong when the bytes held would reach the capacity.
// On Complete, `*headerEnd` is the offset of the blank line's "\r\n\r\n".
HeaderScan AppendHeaderBytes(char* header, size_t capacity, size_t* held, const char* data,
                             size_t count, size_t* headerEnd);

// The status of a status line: the three characters after the first space
// read as a decimal number (its leading digits). -1 without a space.
int ParseStatusCode(const char* header, size_t length);
// The status line in quotes, for messages to people: at most 100 bytes, a
// control character shown as "?".
std::string StatusLineOf(const char* header, size_t length);

inline bool IsSuccessStatus(int status) {
    return status >= 200 && status <= 299;
}

// True when the header names the chunked transfer coding, including on its
// last line (whose CR LF the header text no longer holds).
bool HasChunkedCoding(const char* header, size_t length);

// The value of the first Content-Length line, when it has one of digits;
// a value beyond 64 bits is held at the largest. False without one.
bool FindContentLength(const char* header, size_t length, uint64_t* value);

// Reads a chunked body as it arrives, each byte once, and tells when the
// zero-size last chunk and the blank line that ends its trailer section are
// in: the reply is then complete, whether or not the server closes. A size
// line must begin with a hexadecimal digit and is read up to the first other
// character; a size beyond 64 bits is Malformed. The CR LF that closes chunk
// data is skipped unread.
class ChunkedTracker {
public:
    enum class Progress { NeedMore, Complete, Malformed };
    // With `payload`, the chunk data among the bytes is also moved there, in
    // order, and counted in `*payloadLength`; `payload` may be `data` itself.
    Progress Feed(const char* data, size_t count, char* payload = nullptr,
                  size_t* payloadLength = nullptr);

private:
    enum class State { SizeLine, Data, DataEnd, Trailer };
    void StartLine(State state);
    void ReadLineByte(char c);

    State m_state = State::SizeLine;
    Progress m_progress = Progress::NeedMore;
    uint64_t m_count = 0; // the size being read, then the bytes still to skip
    size_t m_lineBytes = 0;
    bool m_sizeRead = false;
    bool m_afterCr = false;
};

// Four Base64 characters for a piece of 1 to 3 bytes, padded with "=".
void EncodeBase64Piece(const unsigned char* piece, size_t count, char out[4]);

// The longest prefix of UTF-8 `text` of at most `limit` bytes that does not
// end inside a multi-byte sequence.
size_t Utf8PrefixLength(const char* text, size_t length, size_t limit);

} // namespace kvnet

// The first "<?xml" in the zero-terminated text, or null when the text is
// null, empty or holds none.
const char* FindXmlDeclaration(const char* text);

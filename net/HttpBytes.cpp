#include "net/HttpBytes.h"

#include <algorithm>
#include <cstring>

namespace kvnet {
namespace {

const char kBoundaryLine[] = "--FORM_BOUNDARY\r\n";
const char kDispositionStart[] = "content-disposition: form-data; name=\"";
const char kBlankLine[] = "\r\n\r\n";
const char kChunkedLine[] = "Transfer-Encoding: chunked";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const char* text, size_t length, const char* prefix) {
    size_t prefixLength = std::strlen(prefix);
    if (length < prefixLength)
        return false;
    for (size_t i = 0; i < prefixLength; ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    }
    return true;
}

// Like memmem: the first occurrence of `needle` in `text[0, length)`.
const char* FindBytes(const char* text, size_t length, const char* needle, size_t needleLength) {
    if (needleLength == 0 || length < needleLength)
        return nullptr;
    for (size_t i = 0; i + needleLength <= length; ++i) {
        if (text[i] == needle[0] && std::memcmp(text + i, needle, needleLength) == 0)
            return text + i;
    }
    return nullptr;
}

// The port's digits, all of them: "18080abc" is no port, and its leading
// digits would name one the caller did not quite name. Values beyond any
// port are held at a bound instead of overflowing; they are refused later.
bool ParsePort(const char* text, size_t length, int* port) {
    const int beyondAnyPort = 100000;
    if (length == 0)
        return false;
    *port = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        *port = (std::min)(*port * 10 + (text[i] - '0'), beyondAnyPort);
    }
    return true;
}

// A control character or a space would go into the request line as it
// is: CR LF there starts header lines of the caller's choosing.
bool HoldsControlOrSpace(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c <= ' ' || c == 0x7F)
            return true;
    }
    return false;
}

void CopyField(char* field, const char* text, size_t length) {
    std::memcpy(field, text, length);
    field[length] = '\0';
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

const char* CheckHttpUrl(const char* url, size_t length, UrlParts* parts) {
    if (url == nullptr || parts == nullptr || length == 0)
        return "it is empty";
    length = strnlen(url, length);
    const char scheme[] = "http://";
    const size_t schemeLength = sizeof(scheme) - 1;
    if (!StartsWithNoCase(url, length, scheme))
        return "it does not begin with http://";
    if (HoldsControlOrSpace(url, length))
        return "it holds a control character or a space";
    const char* rest = url + schemeLength;
    const size_t restLength = length - schemeLength;
    if (restLength >= kUrlFieldCapacity)
        return "it is longer than 1023 bytes after http://";
    const char* slash = static_cast<const char*>(std::memchr(rest, '/', restLength));
    if (slash == nullptr)
        return "it has no / after the host";
    const size_t authorityLength = static_cast<size_t>(slash - rest);
    const char* colon = static_cast<const char*>(std::memchr(rest, ':', authorityLength));
    const size_t hostLength = colon ? static_cast<size_t>(colon - rest) : authorityLength;
    parts->port = 80;
    if (colon != nullptr && !ParsePort(colon + 1, authorityLength - hostLength - 1, &parts->port))
        return "its port is not a number";
    CopyField(parts->host, rest, hostLength);
    CopyField(parts->path, slash, restLength - authorityLength);
    return nullptr;
}

bool ParseHttpUrl(const char* url, size_t length, UrlParts* parts) {
    return CheckHttpUrl(url, length, parts) == nullptr;
}

// A name inside a part header's quotes: a quote would end it early and a
// line break would end the header line, letting the rest say anything.
bool IsQuotable(const char* text) {
    return std::strpbrk(text, "\"\r\n") == nullptr;
}

bool AppendTextPartHeader(std::string& body, const char* name) {
    if (!IsQuotable(name))
        return false;
    std::string header = kBoundaryLine;
    header += kDispositionStart;
    header += name;
    header += "\"\r\n\r\n";
    if (header.size() > kMaxTextPartHeader)
        return false;
    body += header;
    return true;
}

bool AppendFilePartHeader(std::string& body, const char* name, const char* fileName, bool base64) {
    const std::string cutName(fileName, strnlen(fileName, kMaxPartFileName));
    if (!IsQuotable(name) || !IsQuotable(cutName.c_str()))
        return false;
    std::string header = kBoundaryLine;
    header += kDispositionStart;
    header += name;
    header += "\"; filename=\"";
    header += cutName;
    header += "\"\r\n";
    if (base64)
        header += "Content-Transfer-Encoding: Base64\r\n";
    header += "\r\n";
    if (header.size() > kMaxFilePartHeader)
        return false;
    body += header;
    return true;
}

const char* FileNameOfPath(const char* path) {
    const char* backslash = std::strrchr(path, '\\');
    return backslash ? backslash + 1 : path;
}

void AppendFormEnd(std::string& body) {
    body += "--FORM_BOUNDARY--\r\n";
}

bool HoldsFormDelimiter(const char* data, size_t length) {
    const char boundary[] = "--FORM_BOUNDARY";
    const size_t boundaryLength = sizeof(boundary) - 1;
    for (size_t at = 1; at + boundaryLength <= length; ++at) {
        const char* found = FindBytes(data + at, length - at, boundary, boundaryLength);
        if (found == nullptr)
            return false;
        if (found[-1] == '\r' || found[-1] == '\n')
            return true;
        at = static_cast<size_t>(found - data);
    }
    return false;
}

bool FormatRequestHeader(char* out, const char* path, const char* host, size_t bodyLength) {
    std::string header = "POST ";
    header += path;
    header += " HTTP/1.1\r\nHOST: ";
    header += host;
    header += "\r\nContent-Length: ";
    header += std::to_string(bodyLength);
    header += "\r\nConnection: close\r\n"
              "Content-type: multipart/form-data; boundary=FORM_BOUNDARY\r\n\r\n";
    if (header.size() > kMaxRequestHeader)
        return false;
    std::memcpy(out, header.c_str(), header.size() + 1);
    return true;
}

HeaderScan AppendHeaderBytes(char* header, size_t capacity, size_t* held, const char* data,
                             size_t count, size_t* headerEnd) {
    if (*held + count >= capacity)
        return HeaderScan::TooLong;
    std::memcpy(header + *held, data, count);
    // Earlier bytes were searched already; a blank line may straddle the seam.
    const size_t searchFrom = *held >= 3 ? *held - 3 : 0;
    *held += count;
    header[*held] = '\0';
    const char* blank = FindBytes(header + searchFrom, *held - searchFrom, kBlankLine, 4);
    if (blank == nullptr)
        return HeaderScan::NeedMore;
    *headerEnd = static_cast<size_t>(blank - header);
    return HeaderScan::Complete;
}

int ParseStatusCode(const char* header, size_t length) {
    const char* space = static_cast<const char*>(std::memchr(header, ' ', length));
    if (space == nullptr)
        return -1;
    const char* end = header + length;
    int status = 0;
    for (const char* p = space + 1; p < end && p < space + 4 && *p >= '0' && *p <= '9'; ++p)
        status = status * 10 + (*p - '0');
    return status;
}

std::string StatusLineOf(const char* header, size_t length) {
    const size_t kMaxShown = 100;
    std::string line = "\"";
    for (size_t i = 0; i < length && i < kMaxShown && header[i] != '\r' && header[i] != '\n'; ++i) {
        const unsigned char c = static_cast<unsigned char>(header[i]);
        line += c < ' ' || c == 0x7F ? '?' : static_cast<char>(c);
    }
    return line + "\"";
}

bool HasChunkedCoding(const char* header, size_t length) {
    const size_t lineLength = sizeof(kChunkedLine) - 1;
    const std::string withLineEnd = std::string(kChunkedLine) + "\r\n";
    if (FindBytes(header, length, withLineEnd.data(), withLineEnd.size()) != nullptr)
        return true;
    return length >= lineLength &&
           std::memcmp(header + length - lineLength, kChunkedLine, lineLength) == 0;
}

bool FindContentLength(const char* header, size_t length, uint64_t* value) {
    const char name[] = "\r\ncontent-length:";
    const size_t nameLength = sizeof(name) - 1;
    for (size_t at = 0; at + nameLength <= length; ++at) {
        if (header[at] != '\r' || !StartsWithNoCase(header + at, length - at, name))
            continue;
        size_t digit = at + nameLength;
        while (digit < length && (header[digit] == ' ' || header[digit] == '\t'))
            ++digit;
        if (digit == length || header[digit] < '0' || header[digit] > '9')
            return false;
        uint64_t number = 0;
        for (; digit < length && header[digit] >= '0' && header[digit] <= '9'; ++digit) {
            const uint64_t next = number * 10 + static_cast<uint64_t>(header[digit] - '0');
            number = number > (UINT64_MAX - 9) / 10 ? UINT64_MAX : next;
        }
        *value = number;
        return true;
    }
    return false;
}

ChunkedTracker::Progress ChunkedTracker::Feed(const char* data, size_t count, char* payload,
                                              size_t* payloadLength) {
    size_t at = 0;
    size_t out = 0;
    while (at < count && m_progress == Progress::NeedMore) {
        if (m_state == State::Data || m_state == State::DataEnd) {
            const size_t skip = static_cast<size_t>((std::min)(m_count, uint64_t(count - at)));
            if (payload != nullptr && m_state == State::Data) {
                std::memmove(payload + out, data + at, skip);
                out += skip;
            }
            at += skip;
            m_count -= skip;
            if (m_count == 0 && m_state == State::Data) {
                // The CR LF that closes the chunk data is skipped unread.
                m_state = State::DataEnd;
                m_count = 2;
            } else if (m_count == 0) {
                StartLine(State::SizeLine);
            }
            continue;
        }
        ReadLineByte(data[at++]);
    }
    if (payloadLength != nullptr)
        *payloadLength = out;
    return m_progress;
}

void ChunkedTracker::StartLine(State state) {
    m_state = state;
    m_count = 0;
    m_lineBytes = 0;
    m_sizeRead = false;
    m_afterCr = false;
}

void ChunkedTracker::ReadLineByte(char c) {
    const bool lineEnds = m_afterCr && c == '\n';
    m_afterCr = c == '\r';
    if (m_state == State::Trailer) {
        // Trailer lines run until an empty one.
        if (lineEnds && m_lineBytes == 1)
            m_progress = Progress::Complete;
        m_lineBytes = lineEnds ? 0 : m_lineBytes + 1;
        return;
    }
    if (lineEnds) {
        const uint64_t size = m_count;
        StartLine(size == 0 ? State::Trailer : State::Data);
        m_count = size;
        return;
    }
    const int digit = HexDigitValue(c);
    if (m_lineBytes++ == 0 && digit < 0)
        m_progress = Progress::Malformed;
    else if (digit < 0)
        m_sizeRead = true;
    else if (!m_sizeRead && m_count > (UINT64_MAX >> 4))
        m_progress = Progress::Malformed;
    else if (!m_sizeRead)
        m_count = (m_count << 4) | static_cast<uint64_t>(digit);
}

void EncodeBase64Piece(const unsigned char* piece, size_t count, char out[4]) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const unsigned b0 = piece[0];
    const unsigned b1 = count > 1 ? piece[1] : 0;
    const unsigned b2 = count > 2 ? piece[2] : 0;
    out[0] = alphabet[b0 >> 2];
    out[1] = alphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out[2] = count > 1 ? alphabet[((b1 & 0x0F) << 2) | (b2 >> 6)] : '=';
    out[3] = count > 2 ? alphabet[b2 & 0x3F] : '=';
}

size_t Utf8PrefixLength(const char* text, size_t length, size_t limit) {
    if (length <= limit)
        return length;
    // Back up over at most three continuation bytes, so that the cut falls
    // before a lead byte; text that is not UTF-8 is cut where the limit says.
    for (size_t cut = limit; cut > 0 && cut + 3 >= limit; --cut) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80)
            return cut;
    }
    return limit;
}

} // namespace kvnet

const char* FindXmlDeclaration(const char* text) {
    if (text == nullptr || *text == '\0')
        return nullptr;
    return std::strstr(text, "<?xml");
}

#include "skin/ImageLimits.h"

#include <algorithm>
#include <cstring>

namespace KvImageLimits {
namespace {

// An open file read at given offsets; reads past its end fail.
class CHeaderReader {
public:
    explicit CHeaderReader(LPCWSTR pszPath)
        : m_hFile(::CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        LARGE_INTEGER size = {};
        if (m_hFile != INVALID_HANDLE_VALUE && ::GetFileSizeEx(m_hFile, &size))
            m_nSize = static_cast<uint64_t>(size.QuadPart);
    }
    ~CHeaderReader() {
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
    }
    CHeaderReader(const CHeaderReader&) = delete;
    CHeaderReader& operator=(const CHeaderReader&) = delete;

    uint64_t Size() const { return m_nSize; }
    bool Read(uint64_t nOffset, void* pBuffer, DWORD nBytes) const {
        if (nOffset > m_nSize || nBytes > m_nSize - nOffset)
            return false;
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(nOffset);
        at.OffsetHigh = static_cast<DWORD>(nOffset >> 32);
        DWORD nRead = 0;
        return ::ReadFile(m_hFile, pBuffer, nBytes, &nRead, &at) && nRead == nBytes;
    }

private:
    HANDLE m_hFile;
    uint64_t m_nSize = 0;
};

// Reads a file forward through a buffer, for formats whose sizes lie behind a
// chain of segments or blocks that a decoder walks.
class CByteCursor {
public:
    CByteCursor(const CHeaderReader& file, uint64_t nOffset) : m_file(file), m_nOffset(nOffset) {}

    bool Bytes(uint8_t* pBytes, size_t nCount) {
        for (size_t i = 0; i < nCount; ++i) {
            if (m_nOffset - m_nStart >= m_nHeld && !Fill())
                return false;
            pBytes[i] = m_buffer[m_nOffset++ - m_nStart];
        }
        return true;
    }
    bool Byte(uint8_t& byte) { return Bytes(&byte, 1); }
    void Skip(uint64_t nCount) { m_nOffset += nCount; }

private:
    bool Fill() {
        if (m_nOffset >= m_file.Size())
            return false;
        m_nStart = m_nOffset;
        m_nHeld =
            static_cast<DWORD>((std::min)(uint64_t(sizeof m_buffer), m_file.Size() - m_nStart));
        return m_file.Read(m_nStart, m_buffer, m_nHeld);
    }

    const CHeaderReader& m_file;
    uint64_t m_nOffset;
    uint64_t m_nStart = 0;
    DWORD m_nHeld = 0;
    uint8_t m_buffer[4096];
};

uint32_t Le16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
    return Le16(p) | (Le16(p + 2) << 16);
}
uint32_t Be16(const uint8_t* p) {
    return (p[0] << 8) | p[1];
}
uint32_t Be32(const uint8_t* p) {
    return (Be16(p) << 16) | Be16(p + 2);
}

// Rows bottom-up or top-down: the sign only gives the order.
uint64_t Magnitude(uint32_t nStored) {
    const int32_t nValue = static_cast<int32_t>(nStored);
    return nValue < 0 ? 0ull - static_cast<int64_t>(nValue) : static_cast<uint64_t>(nValue);
}

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct Declared {
    uint64_t nWidth = 0;
    uint64_t nHeight = 0;
};

bool PixelsFit(uint64_t nPixels, uint64_t nFileBytes) {
    return nPixels <= kMaxPixels && nPixels <= nFileBytes * kMaxPixelsPerFileByte;
}

ImageHeader Judge(const Declared& size, uint64_t nFileBytes) {
    return DeclaredSizeFits(size.nWidth, size.nHeight, nFileBytes) ? ImageHeader::Fits
                                                                   : ImageHeader::TooLarge;
}

// The size after a PNG signature at nOffset.
bool ReadPng(const CHeaderReader& file, uint64_t nOffset, Declared& size) {
    uint8_t head[24];
    if (!file.Read(nOffset, head, sizeof head) || std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    size = {Be32(head + 16), Be32(head + 20)};
    return true;
}

// A BITMAPCOREHEADER or any later BITMAPINFOHEADER at nOffset.
bool ReadDibHeader(const CHeaderReader& file, uint64_t nOffset, Declared& size) {
    uint8_t head[12];
    if (!file.Read(nOffset, head, sizeof head))
        return false;
    if (Le32(head) == 12)
        size = {Le16(head + 4), Le16(head + 6)};
    else
        size = {Magnitude(Le32(head + 4)), Magnitude(Le32(head + 8))};
    return true;
}

// The next marker as a decoder finds it: bytes other than FF are skipped,
// so are fill bytes (FF FF ...), and FF 00 is data, not a marker.
bool NextJpegMarker(CByteCursor& at, uint8_t& marker) {
    for (;;) {
        uint8_t byte = 0;
        do {
            if (!at.Byte(byte))
                return false;
        } while (byte != 0xFF);
        do {
            if (!at.Byte(byte))
                return false;
        } while (byte == 0xFF);
        if (byte != 0) {
            marker = byte;
            return true;
        }
    }
}

// The frame header a decoder would find: every segment before it is skipped
// by its length. No frame before the scan or the end means no picture.
bool ReadJpeg(const CHeaderReader& file, Declared& size) {
    CByteCursor at(file, 2);
    for (uint8_t marker = 0; NextJpegMarker(at, marker);) {
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        const bool standalone = (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
        const bool noFrame = marker == 0xD8 || marker == 0xD9 || marker == 0xDA;
        uint8_t segment[7];
        if (noFrame || (!standalone && !at.Bytes(segment, 2)))
            return false;
        if (standalone)
            continue;
        if (!frame) {
            if (Be16(segment) < 2)
                return false;
            at.Skip(Be16(segment) - 2);
            continue;
        }
        if (!at.Bytes(segment + 2, 5))
            return false;
        size = {Be16(segment + 5), Be16(segment + 3)};
        // A height left to a later marker is something no decoder here reads.
        return size.nWidth > 0 && size.nHeight > 0;
    }
    return false;
}

// Every width and every height tag of the first directory counts: a decoder
// may keep the first of repeated tags or the last. Both must be there, each
// a single SHORT or LONG, as the decoder demands.
bool ReadTiff(const CHeaderReader& file, bool bLittle, Declared& size) {
    auto u16 = [bLittle](const uint8_t* p) { return bLittle ? Le16(p) : Be16(p); };
    auto u32 = [bLittle](const uint8_t* p) { return bLittle ? Le32(p) : Be32(p); };
    uint8_t head[8];
    if (!file.Read(0, head, sizeof head))
        return false;
    CByteCursor at(file, u32(head + 4));
    uint8_t count[2];
    if (!at.Bytes(count, sizeof count))
        return false;
    bool width = false, height = false;
    for (uint32_t i = 0; i < u16(count); ++i) {
        uint8_t entry[12];
        if (!at.Bytes(entry, sizeof entry))
            return false;
        const uint32_t tag = u16(entry), type = u16(entry + 2);
        if (tag != 256 && tag != 257)
            continue;
        if ((type != 3 && type != 4) || u32(entry + 4) != 1)
            return false;
        const uint64_t nValue = type == 3 ? u16(entry + 8) : u32(entry + 8);
        uint64_t& side = tag == 256 ? size.nWidth : size.nHeight;
        side = (std::max)(side, nValue);
        (tag == 256 ? width : height) = true;
    }
    return width && height;
}

// Sub-blocks up to the empty one that ends them.
bool SkipGifBlocks(CByteCursor& at) {
    for (uint8_t length = 0;;) {
        if (!at.Byte(length))
            return false;
        if (length == 0)
            return true;
        at.Skip(length);
    }
}

void SkipGifColourTable(CByteCursor& at, uint8_t flags) {
    if (flags & 0x80)
        at.Skip(3ull << ((flags & 7) + 1));
}

// The logical screen and every frame: a decoder holds the pixels of all
// frames at once, so together they must fit too. What follows a cut or a
// block no decoder knows is never read.
ImageHeader JudgeGif(const CHeaderReader& file) {
    CByteCursor at(file, 6);
    uint8_t screen[7];
    if (!at.Bytes(screen, sizeof screen))
        return ImageHeader::Unreadable;
    if (Judge({Le16(screen), Le16(screen + 2)}, file.Size()) != ImageHeader::Fits)
        return ImageHeader::TooLarge;
    SkipGifColourTable(at, screen[4]);
    uint64_t nPixels = 0;
    for (uint8_t block = 0; at.Byte(block) && (block == 0x21 || block == 0x2C);) {
        uint8_t frame[10];
        if (block == 0x21) {
            if (!at.Byte(frame[0]) || !SkipGifBlocks(at))
                break;
            continue;
        }
        if (!at.Bytes(frame, 9))
            break;
        const Declared size = {Le16(frame + 4), Le16(frame + 6)};
        nPixels += size.nWidth * size.nHeight;
        if (Judge(size, file.Size()) != ImageHeader::Fits || !PixelsFit(nPixels, file.Size()))
            return ImageHeader::TooLarge;
        SkipGifColourTable(at, frame[8]);
        if (!at.Byte(frame[9]) || !SkipGifBlocks(at))
            break;
    }
    return ImageHeader::Fits;
}

// Every picture of an icon or cursor file must fit.
ImageHeader JudgeIcon(const CHeaderReader& file, uint32_t nCount) {
    for (uint32_t i = 0; i < nCount; ++i) {
        uint8_t entry[16];
        if (!file.Read(6 + 16ull * i, entry, sizeof entry))
            return ImageHeader::Unreadable;
        const uint64_t nOffset = Le32(entry + 12);
        uint8_t signature[8];
        if (!file.Read(nOffset, signature, sizeof signature))
            return ImageHeader::Unreadable;
        Declared size;
        const bool png = std::memcmp(signature, kPngSignature, 8) == 0;
        if (!(png ? ReadPng(file, nOffset, size) : ReadDibHeader(file, nOffset, size)))
            return ImageHeader::Unreadable;
        // The height of an icon's bitmap counts its mask too.
        if (!png)
            size.nHeight /= 2;
        if (Judge(size, file.Size()) != ImageHeader::Fits)
            return ImageHeader::TooLarge;
    }
    return ImageHeader::Fits;
}

} // namespace

bool DeclaredSizeFits(uint64_t nWidth, uint64_t nHeight, uint64_t nFileBytes) {
    return nWidth <= kMaxSide && nHeight <= kMaxSide && PixelsFit(nWidth * nHeight, nFileBytes);
}

ImageHeader CheckImageFile(LPCWSTR pszPath) {
    if (!pszPath || !*pszPath)
        return ImageHeader::Fits;
    const CHeaderReader file(pszPath);
    uint8_t head[8] = {};
    if (!file.Read(0, head, sizeof head))
        return ImageHeader::Fits;
    Declared size;
    bool read = false;
    if (head[0] == 'B' && head[1] == 'M')
        read = ReadDibHeader(file, 14, size);
    else if (std::memcmp(head, kPngSignature, 8) == 0)
        read = ReadPng(file, 0, size);
    else if (std::memcmp(head, "GIF8", 4) == 0)
        return JudgeGif(file);
    else if (head[0] == 0xFF && head[1] == 0xD8)
        read = ReadJpeg(file, size);
    else if (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0)
        read = ReadTiff(file, head[0] == 'I', size);
    else if (Le16(head) == 0 && (Le16(head + 2) == 1 || Le16(head + 2) == 2))
        return JudgeIcon(file, Le16(head + 4));
    else
        return ImageHeader::Fits;
    return read ? Judge(size, file.Size()) : ImageHeader::Unreadable;
}

bool ImageFileFits(LPCWSTR pszPath) {
    return CheckImageFile(pszPath) == ImageHeader::Fits;
}

} // namespace KvImageLimits

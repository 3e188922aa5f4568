#include "net/ReplyFile.h"

#include <algorithm>
#include <cstring>

CReplyFile::~CReplyFile() {
    Discard();
}

bool CReplyFile::Open(LPCSTR path) {
    Discard();
    const char* slash = std::strrchr(path, '\\');
    const char* forward = std::strrchr(path, '/');
    if (forward != nullptr && (slash == nullptr || forward > slash))
        slash = forward;
    const std::string folder = slash != nullptr ? std::string(path, slash + 1) : std::string(".");
    // The same folder, so that the final move is a rename within one volume.
    char temporary[MAX_PATH] = {};
    if (folder.size() + 14 >= MAX_PATH ||
        GetTempFileNameA(folder.c_str(), "kvx", 0, temporary) == 0)
        return false;
    m_temporary = temporary;
    m_path = path;
    m_file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    if (m_file != INVALID_HANDLE_VALUE)
        return true;
    Discard();
    return false;
}

bool CReplyFile::Write(const char* data, size_t length) {
    while (length > 0) {
        const DWORD piece = static_cast<DWORD>((std::min)(length, size_t(1) << 30));
        DWORD written = 0;
        if (!WriteFile(m_file, data, piece, &written, nullptr) || written != piece)
            return false;
        data += piece;
        length -= piece;
    }
    return true;
}

bool CReplyFile::Commit() {
    const bool flushed = FlushFileBuffers(m_file) != FALSE;
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!flushed || !MoveFileExA(m_temporary.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void CReplyFile::Discard() {
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    if (!m_temporary.empty())
        DeleteFileA(m_temporary.c_str());
    m_temporary.clear();
}

#include "net/ReplyFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool SetDeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof(disposition)) != FALSE;
}

// The system's own name of a path ("\??\C:\dir\file"), which a rename by
// handle takes; empty when the path cannot be made full.
std::wstring SystemPathOf(LPCSTR path) {
    const int chars = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (chars <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], chars);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::wstring();
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), length, &full[0], nullptr));
    if (full.compare(0, 4, L"\\\\?\\") == 0)
        return L"\\??\\" + full.substr(4);
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\??\\UNC\\" + full.substr(2);
    return L"\\??\\" + full;
}

// Moves the open file over `path`, replacing what is there.
bool RenameOpenFile(HANDLE file, LPCSTR path) {
    const std::wstring target = SystemPathOf(path);
    if (target.empty())
        return false;
    const size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, target.c_str(), nameBytes + sizeof(wchar_t));
    return SetFileInformationByHandle(file, FileRenameInfo, rename,
                                      static_cast<DWORD>(buffer.size())) != FALSE;
}

} // namespace

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
    m_file = CreateFileA(temporary, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    // Marked for deletion at once, so that it goes with the last handle even
    // when the process is killed in the middle of a reply.
    m_bMarked = m_file != INVALID_HANDLE_VALUE && SetDeleteOnClose(m_file, true);
    if (m_bMarked)
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
    if (!FlushFileBuffers(m_file) || !SetDeleteOnClose(m_file, false)) {
        Discard();
        return false;
    }
    if (!RenameOpenFile(m_file, m_path.c_str())) {
        m_bMarked = SetDeleteOnClose(m_file, true);
        Discard();
        return false;
    }
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_temporary.clear();
    m_bMarked = false;
    return true;
}

void CReplyFile::Discard() {
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    // A marked file went with its handle, and its name may already be
    // another writer's; one that could not be opened or marked is deleted
    // by name.
    if (!m_temporary.empty() && !m_bMarked)
        DeleteFileA(m_temporary.c_str());
    m_temporary.clear();
    m_bMarked = false;
}

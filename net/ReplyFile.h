// A reply file written beside its destination and put in its place only when
// complete, so that a failed save (a full disk, a cut reply) leaves the
// previous file as it was. Until then the file is marked for deletion, so
// that it goes with its process even when that is killed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class CReplyFile {
public:
    CReplyFile() = default;
    // A file not committed is deleted.
    ~CReplyFile();
    CReplyFile(const CReplyFile&) = delete;
    CReplyFile& operator=(const CReplyFile&) = delete;

    // Makes a fresh file in the folder of `path`.
    bool Open(LPCSTR path);
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    bool Write(const char* data, size_t length);
    // Moves the file over `path` by its handle and closes it.
    bool Commit();

private:
    void Discard();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_bMarked = false; // deleted when its handle closes
    std::string m_path;
    std::string m_temporary;
};

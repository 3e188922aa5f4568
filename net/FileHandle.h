// A file handle owned by one object and closed in one place.
#pragma once

#include <windows.h>

class CUniqueFile {
public:
    explicit CUniqueFile(HANDLE handle) : m_hFile(handle) {}
    ~CUniqueFile() {
        if (IsValid())
            CloseHandle(m_hFile);
    }
    CUniqueFile(const CUniqueFile&) = delete;
    CUniqueFile& operator=(const CUniqueFile&) = delete;

    bool IsValid() const { return m_hFile != INVALID_HANDLE_VALUE && m_hFile != nullptr; }
    HANDLE Get() const { return m_hFile; }

private:
    HANDLE m_hFile;
};

#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

void PrintTo(const CString& text, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(text.GetString()));
}

CSkinTestFolder::CSkinTestFolder(const wchar_t* pszName) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    wchar_t unique[32];
    swprintf(unique, 32, L"_%lu\\", GetCurrentProcessId());
    m_strDirectory = CString(temp) + pszName + unique;
    CreateDirectoryW(m_strDirectory, nullptr);
}

CSkinTestFolder::~CSkinTestFolder() {
    for (const CString& file : m_files)
        DeleteFileW(file);
    RemoveDirectoryW(m_strDirectory);
}

CString CSkinTestFolder::Write(const wchar_t* pszFile, const std::string& bytes) {
    CString path = m_strDirectory + pszFile;
    FILE* file = _wfopen(path, L"wb");
    if (!file) {
        ADD_FAILURE() << "cannot create a test skin file";
        return path;
    }
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    m_files.push_back(path);
    return path;
}

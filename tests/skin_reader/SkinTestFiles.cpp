#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

void PrintTo(const CString& text, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(text.GetString()));
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
    return path;
}

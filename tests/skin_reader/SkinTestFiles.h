// Skin files written to a folder of the test's own below the temp folder.
#pragma once

#include <afx.h>

#include <ostream>
#include <string>
#include <vector>

// Lets GoogleTest print the framework's strings in failure messages.
void PrintTo(const CString& text, std::ostream* os);

class CSkinTestFolder {
public:
    explicit CSkinTestFolder(const wchar_t* pszName);
    ~CSkinTestFolder();
    CSkinTestFolder(const CSkinTestFolder&) = delete;
    CSkinTestFolder& operator=(const CSkinTestFolder&) = delete;

    // Writes the bytes as the named file and returns its full path.
    CString Write(const wchar_t* pszFile, const std::string& bytes);
    const CString& Directory() const { return m_strDirectory; }

private:
    CString m_strDirectory; // ends with a backslash
    std::vector<CString> m_files;
};

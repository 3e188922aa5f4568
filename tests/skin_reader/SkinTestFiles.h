// Skin files written to a folder of the test's own below the temp folder.
#pragma once

#include <afx.h>

#include "tests/common/ImageKit.h"

#include <ostream>
#include <string>

// Lets GoogleTest print the framework's strings in failure messages.
void PrintTo(const CString& text, std::ostream* os);

class CSkinTestFolder {
public:
    explicit CSkinTestFolder(const wchar_t* pszName)
        : m_folder(pszName), m_strDirectory(m_folder.Path().c_str()) {}

    // Writes the bytes as the named file and returns its full path.
    CString Write(const wchar_t* pszFile, const std::string& bytes);
    const CString& Directory() const { return m_strDirectory; }

private:
    ImageKit::TempFolder m_folder; // removed with its files
    CString m_strDirectory;        // ends with a backslash
};

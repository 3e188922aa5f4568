// Skin files written to a folder of the test's own below the temp folder.
#pragma once

#include <afx.h>

#include "tests/common/ImageKit.h"

#include <optional>
#include <ostream>
#include <string>

// Lets GoogleTest print the framework's strings in failure messages.
void PrintTo(const CString& text, std::ostream* os);

class CSkinTestFolder {
public:
    explicit CSkinTestFolder(const wchar_t* pszName)
        : m_folder(std::in_place, pszName), m_strDirectory(m_folder->Path().c_str()) {}
    // A folder inside parent's, removed with it.
    CSkinTestFolder(const CSkinTestFolder& parent, const wchar_t* pszSubfolder)
        : m_strDirectory(parent.m_folder->Subfolder(pszSubfolder).c_str()) {}

    // Writes the bytes as the named file and returns its full path.
    CString Write(const wchar_t* pszFile, const std::string& bytes);
    const CString& Directory() const { return m_strDirectory; }

private:
    std::optional<ImageKit::TempFolder> m_folder; // none in a sub-folder
    CString m_strDirectory;                       // ends with a backslash
};

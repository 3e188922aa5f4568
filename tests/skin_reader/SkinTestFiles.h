// Skin files for the reader and kvskin tests, written into the kit's
// temporary folders and named by CString as the reader takes them.
#pragma once

#include <afx.h>

#include "tests/common/ImageKit.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Lets GoogleTest print the framework's strings in failure messages.
inline void PrintTo(const CString& text, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(text.GetString()));
}

// Writes the bytes as the named file of the folder and returns its full path.
inline CString WriteSkinFile(const std::wstring& folder, const wchar_t* name,
                             const std::string& bytes) {
    EXPECT_TRUE(ImageKit::WriteBytes(folder + name, bytes)) << "cannot write a test skin file";
    return (folder + name).c_str();
}

// A test with a temporary folder to write its skin files into.
class SkinFileTest : public testing::Test {
protected:
    CString Write(const wchar_t* name, const std::string& bytes) {
        return WriteSkinFile(m_folder.Path(), name, bytes);
    }
    CString Directory() const { return m_folder.Path().c_str(); }

    ImageKit::TempFolder m_folder{L"kv_skin_files"};
};

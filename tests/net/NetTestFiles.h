// Temporary files and the log file that the client's tests read back.
#pragma once

#include <windows.h>

#include <string>

// A fresh file name in the temporary folder; the file is not left behind.
std::string FreshTempPath();
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Points the log at a file of its own for the life of the object.
class CCapturedLog {
public:
    CCapturedLog();
    ~CCapturedLog();
    std::string Text() const { return ReadWholeFile(m_path); }

private:
    std::string m_path;
};

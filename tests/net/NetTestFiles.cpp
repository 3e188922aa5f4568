#include "NetTestFiles.h"

#include <fstream>
#include <sstream>

#include "runtime/Log.h"

std::string FreshTempPath() {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "kvn", 0, path);
    DeleteFileA(path);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CCapturedLog::CCapturedLog() : m_path(FreshTempPath()) {
    WriteWholeFile(m_path, "");
    std::wstring wide(m_path.begin(), m_path.end());
    InitLog(L"test", wide.c_str());
}

CCapturedLog::~CCapturedLog() {
    InitLog(nullptr, L"");
    DeleteFileA(m_path.c_str());
}

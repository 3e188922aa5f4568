#include "net/NetLog.h"

#include <string>

#include "net/HttpBytes.h"
#include "runtime/Log.h"

namespace {

// At most maxChars - 1 characters, so that the text fits a buffer of
// maxChars with its terminator.
std::wstring ToWide(UINT codePage, const char* text, size_t length, size_t maxChars) {
    if (length == 0 || maxChars < 2)
        return std::wstring();
    std::wstring wide(maxChars - 1, L'\0');
    const int bytes = static_cast<int>((std::min)(length, maxChars - 1));
    int chars =
        MultiByteToWideChar(codePage, 0, text, bytes, &wide[0], static_cast<int>(wide.size()));
    wide.resize(chars > 0 ? static_cast<size_t>(chars) : 0);
    return wide;
}

} // namespace

void LogAnsiText(const wchar_t* format, const char* text, size_t length, size_t maxChars) {
    WriteLog(format, ToWide(CP_ACP, text, length, maxChars).c_str());
}

void LogUtf8Text(const wchar_t* format, const char* text, size_t length, size_t maxChars) {
    const size_t whole = kvnet::Utf8PrefixLength(text, length, maxChars - 1);
    WriteLog(format, ToWide(CP_UTF8, text, whole, maxChars).c_str());
}

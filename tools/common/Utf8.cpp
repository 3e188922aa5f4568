#include "tools/common/Utf8.h"

std::string ToUtf8(const CString& strText) {
    if (strText.IsEmpty())
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, strText.GetString(), strText.GetLength(), nullptr,
                                    0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, strText.GetString(), strText.GetLength(), &text[0], bytes,
                            nullptr, nullptr);
    return text;
}

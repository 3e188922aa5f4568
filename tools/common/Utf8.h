// Text as the tools print and store it.
#pragma once

#include <afx.h>

#include <string>

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const CString& strText);

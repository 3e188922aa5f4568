// Log lines that carry narrow protocol text, converted to wide text and cut
// to a bounded number of characters.
#pragma once

#include <windows.h>

#include <cstddef>

// `format` holds one %s for the text, given in the ANSI code page.
void LogAnsiText(const wchar_t* format, const char* text, size_t length, size_t maxChars);
// The same for UTF-8 text; the cut never splits a character.
void LogUtf8Text(const wchar_t* format, const char* text, size_t length, size_t maxChars);

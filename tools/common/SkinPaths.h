// Paths on kvskin's command line: Unix or Windows, relative or full.
#pragma once

#include <afx.h>

#include <string>

// A full Windows path: a Unix path becomes the Wine drive path that holds
// it, a relative one is resolved against the working directory.
CString ToFullWindowsPath(const CString& strPath);

// Why the skin file cannot be opened for reading, or empty when it can.
std::string SkinFileUnreadable(const CString& strFullPath);

// What the reader misses of a section path and the optional second one in a
// file that loads: "kvskin: section "A\B" matches nothing: <A> has no child
// element "B"" and a line feed, or empty when each path reaches an element.
std::string MissingSection(const CString& strFullPath, const CString& strSection,
                           const CString& strSection2);

// Why LoadSkin would find nothing in the file, named as the user gave it
// (strGiven; strFullPath is what is opened), or empty when it parses:
// "cannot load skin file GIVEN: REASON" and a line feed, then, for a file
// that does not parse, one "GIVEN:LINE:COLUMN: error: ..." line per place, as
// kvskin lint prints them.
std::string SkinFileUnloadable(const CString& strGiven, const CString& strFullPath);

// Checks a skin file for what the toolkit would silently drop or get wrong:
// files that do not load, numbers it reads only in part, text formats GDI+
// refuses, items that make nothing or cannot be seen, fonts that are missing.
#pragma once

#include "xml/PositionedDocument.h"

#include <afx.h>

#include <string>
#include <vector>

enum class LintSeverity { Warning, Error };

struct LintDiagnostic {
    SourcePos pos;
    LintSeverity severity = LintSeverity::Error;
    CString strMessage;
};

struct LintRequest {
    CString strSkinFile; // a full Windows path
    // Each section is checked as one window of its own. None: every element
    // below the root that has a "WindowInfo", "PosInfo" or "DynamicInfo" child.
    std::vector<CString> sections;
    CString strSkinName = L"default";
    // Other than 100: each image that is resampled for this display scale,
    // rather than drawn from a variant made for it, is listed as a warning.
    int nScalePercent = 100;
};

// Diagnostics in file order. GDI+ must have been started (fonts and images).
std::vector<LintDiagnostic> LintSkinFile(const LintRequest& request);

// Why the module cannot load the file, in file order (where the parse failed
// and where an element it found unclosed was opened); none when it loads.
std::vector<LintDiagnostic> LoadFailureDiagnostics(const CString& strSkinFile);

bool HasErrors(const std::vector<LintDiagnostic>& diagnostics);

// "FILE:LINE:COLUMN: error: message", the form compilers use, in UTF-8.
std::string FormatDiagnostic(const CString& strFile, const LintDiagnostic& diagnostic);

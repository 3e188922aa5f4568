// The command line of kvskin: a verb, then positional arguments and options
// in any order. Each verb declares which options it takes.
#pragma once

#include <afx.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct CommandSyntax {
    std::vector<std::wstring> valueOptions; // "--name VALUE"; repeatable, the last one counts
    std::vector<std::wstring> flagOptions;  // "--name"
    size_t nMinPositional = 0;
    size_t nMaxPositional = 0; // SIZE_MAX: no limit
};

class CParsedCommand {
public:
    std::vector<CString> positional;

    // The last value given for the option, or strDefault.
    CString Option(const wchar_t* pszName, const CString& strDefault = CString()) const;
    // Every value given for the option, in command-line order.
    std::vector<CString> Options(const wchar_t* pszName) const;
    bool Flag(const wchar_t* pszName) const { return m_flags.count(pszName) != 0; }

private:
    friend std::optional<CParsedCommand> ParseCommand(const CommandSyntax&,
                                                      const std::vector<std::wstring>&);
    std::multimap<std::wstring, CString> m_values;
    std::set<std::wstring> m_flags;
};

// No value for an unknown option ("--x"), an option without its value, or
// a positional count outside the syntax. A lone "--" or "-" is positional.
std::optional<CParsedCommand> ParseCommand(const CommandSyntax& syntax,
                                           const std::vector<std::wstring>& args);

#include "tools/common/CommandLine.h"

#include <algorithm>
#include <iterator>

namespace {

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool LooksLikeOption(const std::wstring& arg) {
    return arg.size() > 2 && arg.compare(0, 2, L"--") == 0;
}

} // namespace

CString CParsedCommand::Option(const wchar_t* pszName, const CString& strDefault) const {
    auto range = m_values.equal_range(pszName);
    return range.first == range.second ? strDefault : std::prev(range.second)->second;
}

std::vector<CString> CParsedCommand::Options(const wchar_t* pszName) const {
    std::vector<CString> values;
    auto range = m_values.equal_range(pszName);
    for (auto it = range.first; it != range.second; ++it)
        values.push_back(it->second);
    return values;
}

std::optional<CParsedCommand> ParseCommand(const CommandSyntax& syntax,
                                           const std::vector<std::wstring>& args) {
    CParsedCommand command;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (Contains(syntax.valueOptions, arg)) {
            if (i + 1 >= args.size())
                return std::nullopt;
            command.m_values.emplace(arg, CString(args[++i].c_str()));
        } else if (Contains(syntax.flagOptions, arg)) {
            command.m_flags.insert(arg);
        } else if (LooksLikeOption(arg)) {
            return std::nullopt;
        } else {
            command.positional.emplace_back(arg.c_str());
        }
    }
    size_t count = command.positional.size();
    if (count < syntax.nMinPositional || count > syntax.nMaxPositional)
        return std::nullopt;
    return command;
}

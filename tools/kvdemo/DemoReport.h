// kvdemo's lines on standard error: "kvdemo: " and the text, in UTF-8, so
// that a person at the terminal reads what went wrong with the skin.
#pragma once

#include <string>

void ReportProblem(const std::string& strUtf8);

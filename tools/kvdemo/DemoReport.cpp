#include "tools/kvdemo/DemoReport.h"

#include <cstdio>

void ReportProblem(const std::string& strUtf8) {
    std::fprintf(stderr, "kvdemo: %s\n", strUtf8.c_str());
    std::fflush(stderr);
}

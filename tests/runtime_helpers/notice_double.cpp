// Stands in for DlgNotice.dll: records what the message box was given and
// answers IDYES, without showing anything.
#include <afx.h>

namespace {
CString g_strLastCall;
int g_nCalls = 0;
} // namespace

extern "C" __declspec(dllexport) int DNMessageBox(CString strText, CString strCaption, UINT nType) {
    g_strLastCall.Format(L"%s|%s|%#x", strText.GetString(), strCaption.GetString(), nType);
    ++g_nCalls;
    return IDYES;
}

// The number of calls so far, and the last one's arguments as "text|caption|type".
extern "C" __declspec(dllexport) int DNDoubleLastCall(CString* pLastCall) {
    *pLastCall = g_strLastCall;
    return g_nCalls;
}

// Stands in for DlgNotice.dll: records what the message box was given and
// returns a result that the test chooses, without showing anything. The
// skinned dialog's tests use it too.
#include <afx.h>

namespace {
CString g_strText;
CString g_strCaption;
UINT g_nType = 0;
int g_nCalls = 0;
int g_nResult = 0;
} // namespace

extern "C" __declspec(dllexport) int DNMessageBox(CString strText, CString strCaption, UINT nType) {
    g_strText = strText;
    g_strCaption = strCaption;
    g_nType = nType;
    ++g_nCalls;
    return g_nResult;
}

extern "C" __declspec(dllexport) void DNDoubleSetResult(int nResult) {
    g_nResult = nResult;
}

extern "C" __declspec(dllexport) int DNDoubleLastCall(CString* pText, CString* pCaption,
                                                      UINT* pType) {
    *pText = g_strText;
    *pCaption = g_strCaption;
    *pType = g_nType;
    return g_nCalls;
}

// The suite's message box: a real modal system message box over the window
// that is active on the calling thread.
#include <afxwin.h>

extern "C" __declspec(dllexport) int DNMessageBox(CString strText, CString strCaption, UINT nType) {
    return ::MessageBoxW(::GetActiveWindow(), strText, strCaption, nType);
}

// Temporary wrappers of foreign handles. A hosted DLL never sees the
// application's idle time, so temporaries are released when the scope that
// made them ends: the outermost framework message, or an idle modal loop.
#include "AfxState.h"

CWnd* AfxTemporaryWnd(AfxThreadState* pState, HWND hWnd) {
    CWnd*& pTemp = pState->temporaryWnds[hWnd];
    if (pTemp == nullptr) {
        pTemp = new CWnd;
        pTemp->m_hWnd = hWnd;
        pState->tempLog.push_back({AfxTempRecord::Wnd, hWnd, nullptr});
    }
    return pTemp;
}

CDC* AfxTemporaryDC(AfxThreadState* pState, HDC hDC) {
    CDC*& pTemp = pState->temporaryDCs[hDC];
    if (pTemp == nullptr) {
        pTemp = new CDC;
        pTemp->m_hDC = pTemp->m_hAttribDC = hDC;
        pState->tempLog.push_back({AfxTempRecord::DC, hDC, nullptr});
    }
    return pTemp;
}

CGdiObject* AfxTemporaryGdiObject(AfxThreadState* pState, HGDIOBJ hObject,
                                  const CRuntimeClass* pClass, CGdiObject* (*pfnNew)()) {
    CGdiObject*& pTemp = pState->temporaryGdiObjects[std::make_pair(hObject, pClass)];
    if (pTemp == nullptr) {
        pTemp = pfnNew();
        pTemp->m_hObject = hObject;
        pState->tempLog.push_back({AfxTempRecord::GdiObject, hObject, pClass});
    }
    return pTemp;
}

namespace {

// Temporary wrappers never own their handles: cleared before they are deleted.
void ReleaseTemporary(AfxThreadState* pState, const AfxTempRecord& record) {
    switch (record.kind) {
    case AfxTempRecord::Wnd: {
        auto it = pState->temporaryWnds.find(static_cast<HWND>(record.handle));
        CWnd* pWnd = it->second;
        pState->temporaryWnds.erase(it);
        pWnd->m_hWnd = nullptr;
        delete pWnd;
        break;
    }
    case AfxTempRecord::DC: {
        auto it = pState->temporaryDCs.find(static_cast<HDC>(record.handle));
        CDC* pDC = it->second;
        pState->temporaryDCs.erase(it);
        pDC->m_hDC = pDC->m_hAttribDC = nullptr;
        delete pDC;
        break;
    }
    case AfxTempRecord::GdiObject: {
        auto it = pState->temporaryGdiObjects.find(std::make_pair(record.handle, record.pClass));
        CGdiObject* pObject = it->second;
        pState->temporaryGdiObjects.erase(it);
        pObject->m_hObject = nullptr;
        delete pObject;
        break;
    }
    }
}

void ReleaseDownTo(AfxThreadState* pState, size_t nMark) {
    while (pState->tempLog.size() > nMark) {
        AfxTempRecord record = pState->tempLog.back();
        pState->tempLog.pop_back();
        ReleaseTemporary(pState, record);
    }
}

} // namespace

void AfxReleaseTemporariesSince(AfxThreadState* pState, size_t nMark) {
    if (pState->nTempMapLock == 0)
        ReleaseDownTo(pState, nMark);
}

void AfxDeleteTemporaryObjects(AfxThreadState* pState) {
    ReleaseDownTo(pState, 0);
}

#include "AfxState.h"

// Temporary wrappers never own their handles: clear them before deleting.
void AfxDeleteTemporaryObjects(AfxThreadState* pState) {
    auto wnds = std::move(pState->temporaryWnds);
    pState->temporaryWnds.clear();
    for (auto& entry : wnds) {
        entry.second->m_hWnd = nullptr;
        delete entry.second;
    }
    auto dcs = std::move(pState->temporaryDCs);
    pState->temporaryDCs.clear();
    for (auto& entry : dcs) {
        entry.second->m_hDC = nullptr;
        entry.second->m_hAttribDC = nullptr;
        delete entry.second;
    }
    auto gdi = std::move(pState->temporaryGdiObjects);
    pState->temporaryGdiObjects.clear();
    for (auto& entry : gdi) {
        entry.second->m_hObject = nullptr;
        delete entry.second;
    }
}

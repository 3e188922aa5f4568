#include <afxwin.h>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// The root of every map chain: no entries, no base.
const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

CCmdTarget::CCmdTarget() : m_pModuleState(AfxGetModuleState()) {}

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode,
                                            UINT nID) {
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->nMessage != 0; ++p) {
            if (p->nMessage == nMessage && p->nCode == nCode && nID >= p->nID && nID <= p->nLastID)
                return p;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, void*) {
    UINT nMsg = HIWORD(static_cast<UINT>(nCode));
    UINT nNotify = LOWORD(static_cast<UINT>(nCode));
    if (nMsg == 0)
        nMsg = WM_COMMAND;
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), nMsg, nNotify, nID);
    if (pEntry == nullptr)
        return FALSE;
    AFX_MSGCALL call = {nMsg, nID, 0, 0};
    pEntry->pfnHandler(this, call);
    if (pEntry->nFlags & AFX_MSGF_RESULT_DECIDES)
        return call.lResult != 0;
    return TRUE;
}

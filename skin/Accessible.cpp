#include "skin/Accessible.h"

#include <algorithm>

namespace {

// Spelled out: MinGW's oleacc import library can resolve IID_IAccessible to
// an import thunk, and LresultFromObject would then marshal a garbage IID.
const IID kIIDAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

using StringGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
using VariantGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

HRESULT StringResult(const CString& strValue, BSTR* pResult) {
    if (strValue.IsEmpty())
        return S_FALSE;
    *pResult = ::SysAllocString(strValue);
    return *pResult ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* pResult, long nValue) {
    pResult->vt = VT_I4;
    pResult->lVal = nValue;
}

// One accessible object: the dialog's (its children are the items) or an
// item window's (itself is the item). What the dialog does not decide goes
// to the system's object of the same window.
class CKvAccessible final : public IAccessible {
public:
    CKvAccessible(CKvAccessObjects* pOwner, HWND hWnd, bool bItemWindow)
        : m_pOwner(pOwner), m_hWnd(hWnd), m_bItemWindow(bItemWindow) {}
    CKvAccessible(const CKvAccessible&) = delete;
    CKvAccessible& operator=(const CKvAccessible&) = delete;

    HWND Window() const { return m_hWnd; }
    bool IsItemWindow() const { return m_bItemWindow; }
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&m_nRefs); }
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch: no type information; clients call the methods directly.
    STDMETHODIMP GetTypeInfoCount(UINT* pCount) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }
    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** ppParent) override;
    STDMETHODIMP get_accChildCount(long* pCount) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** ppChild) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* pName) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* pValue) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* pDescription) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* pRole) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* pState) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* pHelp) override;
    STDMETHODIMP get_accHelpTopic(BSTR* pFile, VARIANT child, long* pTopic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* pShortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* pChild) override;
    STDMETHODIMP get_accSelection(VARIANT* pChildren) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* pAction) override;
    STDMETHODIMP accSelect(long nFlags, VARIANT child) override;
    STDMETHODIMP accLocation(long* pLeft, long* pTop, long* pWidth, long* pHeight,
                             VARIANT child) override;
    STDMETHODIMP accNavigate(long nDirection, VARIANT start, VARIANT* pEnd) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* pChild) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

private:
    ~CKvAccessible();

    IKvAccessSource* Source() const { return m_pOwner ? &m_pOwner->Source() : nullptr; }
    // The child a VARIANT names: for the dialog's object its number (0 the
    // dialog), for an item window's object the item (0 when it is no item
    // now); -1 when it names none.
    long Child(const VARIANT& child) const;
    // The system's object of this window, made when first needed.
    IAccessible* System();
    // The child as clients want it: an object where it has a window of its own.
    void ChildResult(long nChild, VARIANT* pResult);
    HRESULT ItemString(const VARIANT& child, BSTR* pResult, CString KvAccessItem::*pField,
                       StringGetter system);
    HRESULT ItemNumber(const VARIANT& child, VARIANT* pResult, long KvAccessItem::*pField,
                       VariantGetter system);

    LONG m_nRefs = 1;
    CKvAccessObjects* m_pOwner; // null once disconnected
    HWND m_hWnd;
    bool m_bItemWindow;
    IAccessible* m_pSystem = nullptr;
};

CKvAccessible::~CKvAccessible() {
    if (m_pSystem)
        m_pSystem->Release();
}

void CKvAccessible::Disconnect() {
    m_pOwner = nullptr;
    if (m_pSystem)
        m_pSystem->Release();
    m_pSystem = nullptr;
}

STDMETHODIMP CKvAccessible::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!::IsEqualIID(riid, kIIDAccessible) && !::IsEqualIID(riid, IID_IDispatch) &&
        !::IsEqualIID(riid, IID_IUnknown))
        return E_NOINTERFACE;
    *ppv = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CKvAccessible::Release() {
    const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    // A COM object, no window: nothing reaches it once its last client let go.
    if (nRefs == 0)
        delete this;
    return static_cast<ULONG>(nRefs);
}

STDMETHODIMP CKvAccessible::GetTypeInfoCount(UINT* pCount) {
    if (!pCount)
        return E_POINTER;
    *pCount = 0;
    return S_OK;
}

long CKvAccessible::Child(const VARIANT& child) const {
    if (child.vt != VT_I4)
        return -1;
    if (m_bItemWindow)
        return child.lVal == CHILDID_SELF ? Source()->AccessChildOfWindow(m_hWnd) : -1;
    return child.lVal >= 0 && child.lVal <= Source()->AccessChildCount() ? child.lVal : -1;
}

IAccessible* CKvAccessible::System() {
    if (!m_pSystem && ::IsWindow(m_hWnd))
        ::CreateStdAccessibleObject(m_hWnd, OBJID_CLIENT, kIIDAccessible,
                                    reinterpret_cast<void**>(&m_pSystem));
    return m_pSystem;
}

void CKvAccessible::ChildResult(long nChild, VARIANT* pResult) {
    KvAccessItem item;
    if (nChild > 0 && Source()->DescribeChild(nChild, item) && item.hWnd)
        if (IAccessible* pChild = m_pOwner->Object(item.hWnd, true)) {
            pResult->vt = VT_DISPATCH;
            pResult->pdispVal = pChild;
            return;
        }
    SetI4(pResult, nChild);
}

HRESULT CKvAccessible::ItemString(const VARIANT& child, BSTR* pResult,
                                  CString KvAccessItem::*pField, StringGetter system) {
    if (!pResult)
        return E_POINTER;
    *pResult = nullptr;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    const long nChild = Child(child);
    if (nChild < 0)
        return E_INVALIDARG;
    KvAccessItem item;
    if (nChild > 0 && Source()->DescribeChild(nChild, item))
        return StringResult(item.*pField, pResult);
    return System() ? (System()->*system)(child, pResult) : S_FALSE;
}

HRESULT CKvAccessible::ItemNumber(const VARIANT& child, VARIANT* pResult,
                                  long KvAccessItem::*pField, VariantGetter system) {
    if (!pResult)
        return E_POINTER;
    ::VariantInit(pResult);
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    const long nChild = Child(child);
    if (nChild < 0)
        return E_INVALIDARG;
    KvAccessItem item;
    if (nChild > 0 && Source()->DescribeChild(nChild, item)) {
        SetI4(pResult, item.*pField);
        return S_OK;
    }
    return System() ? (System()->*system)(child, pResult) : S_FALSE;
}

STDMETHODIMP CKvAccessible::get_accName(VARIANT child, BSTR* pName) {
    return ItemString(child, pName, &KvAccessItem::strName, &IAccessible::get_accName);
}

STDMETHODIMP CKvAccessible::get_accDescription(VARIANT child, BSTR* pDescription) {
    return ItemString(child, pDescription, &KvAccessItem::strDescription,
                      &IAccessible::get_accDescription);
}

STDMETHODIMP CKvAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* pShortcut) {
    return ItemString(child, pShortcut, &KvAccessItem::strShortcut,
                      &IAccessible::get_accKeyboardShortcut);
}

STDMETHODIMP CKvAccessible::get_accDefaultAction(VARIANT child, BSTR* pAction) {
    return ItemString(child, pAction, &KvAccessItem::strDefaultAction,
                      &IAccessible::get_accDefaultAction);
}

STDMETHODIMP CKvAccessible::get_accRole(VARIANT child, VARIANT* pRole) {
    return ItemNumber(child, pRole, &KvAccessItem::nRole, &IAccessible::get_accRole);
}

STDMETHODIMP CKvAccessible::get_accState(VARIANT child, VARIANT* pState) {
    return ItemNumber(child, pState, &KvAccessItem::nState, &IAccessible::get_accState);
}

STDMETHODIMP CKvAccessible::get_accValue(VARIANT child, BSTR* pValue) {
    if (!pValue)
        return E_POINTER;
    *pValue = nullptr;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    return Child(child) < 0 ? E_INVALIDARG : S_FALSE; // no item has a value
}

STDMETHODIMP CKvAccessible::get_accHelp(VARIANT child, BSTR* pHelp) {
    if (!pHelp)
        return E_POINTER;
    *pHelp = nullptr;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    return Child(child) < 0 ? E_INVALIDARG : S_FALSE;
}

STDMETHODIMP CKvAccessible::get_accHelpTopic(BSTR* pFile, VARIANT, long* pTopic) {
    if (pFile)
        *pFile = nullptr;
    if (pTopic)
        *pTopic = 0;
    return m_pOwner ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP CKvAccessible::get_accParent(IDispatch** ppParent) {
    if (!ppParent)
        return E_POINTER;
    *ppParent = nullptr;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    return System() ? System()->get_accParent(ppParent) : S_FALSE;
}

STDMETHODIMP CKvAccessible::get_accChildCount(long* pCount) {
    if (!pCount)
        return E_POINTER;
    *pCount = 0;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    if (m_bItemWindow)
        return System() ? System()->get_accChildCount(pCount) : S_OK;
    *pCount = Source()->AccessChildCount();
    return S_OK;
}

STDMETHODIMP CKvAccessible::get_accChild(VARIANT child, IDispatch** ppChild) {
    if (!ppChild)
        return E_POINTER;
    *ppChild = nullptr;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    if (m_bItemWindow)
        return System() ? System()->get_accChild(child, ppChild) : E_INVALIDARG;
    const long nChild = Child(child);
    if (nChild <= 0)
        return E_INVALIDARG;
    VARIANT result;
    ChildResult(nChild, &result);
    if (result.vt != VT_DISPATCH)
        return S_FALSE; // an item the dialog draws: an element of this object
    *ppChild = result.pdispVal;
    return S_OK;
}

STDMETHODIMP CKvAccessible::get_accFocus(VARIANT* pChild) {
    if (!pChild)
        return E_POINTER;
    ::VariantInit(pChild);
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    if (m_bItemWindow)
        return System() ? System()->get_accFocus(pChild) : S_FALSE;
    if (const long nChild = Source()->AccessFocusChild()) {
        ChildResult(nChild, pChild);
        return S_OK;
    }
    if (::GetFocus() != m_hWnd)
        return S_FALSE;
    SetI4(pChild, CHILDID_SELF);
    return S_OK;
}

STDMETHODIMP CKvAccessible::get_accSelection(VARIANT* pChildren) {
    if (!pChildren)
        return E_POINTER;
    ::VariantInit(pChildren);
    return m_pOwner ? S_FALSE : CO_E_OBJNOTCONNECTED; // items are not selected
}

STDMETHODIMP CKvAccessible::accSelect(long nFlags, VARIANT child) {
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    const long nChild = Child(child);
    if (nChild < 0)
        return E_INVALIDARG;
    if (nChild == 0 || nFlags != SELFLAG_TAKEFOCUS)
        return System() ? System()->accSelect(nFlags, child) : S_FALSE;
    return Source()->FocusChild(nChild) ? S_OK : S_FALSE;
}

STDMETHODIMP CKvAccessible::accLocation(long* pLeft, long* pTop, long* pWidth, long* pHeight,
                                        VARIANT child) {
    if (!pLeft || !pTop || !pWidth || !pHeight)
        return E_POINTER;
    *pLeft = *pTop = *pWidth = *pHeight = 0;
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    const long nChild = Child(child);
    if (nChild < 0)
        return E_INVALIDARG;
    KvAccessItem item;
    RECT rc = {0, 0, 0, 0};
    if (nChild > 0 && Source()->DescribeChild(nChild, item)) {
        rc = item.rcScreen;
    } else {
        ::GetClientRect(m_hWnd, &rc);
        ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    }
    *pLeft = rc.left;
    *pTop = rc.top;
    *pWidth = rc.right - rc.left;
    *pHeight = rc.bottom - rc.top;
    return S_OK;
}

STDMETHODIMP CKvAccessible::accNavigate(long nDirection, VARIANT start, VARIANT* pEnd) {
    if (!pEnd)
        return E_POINTER;
    ::VariantInit(pEnd);
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    if (m_bItemWindow)
        return System() ? System()->accNavigate(nDirection, start, pEnd) : S_FALSE;
    const long nStart = Child(start);
    const long nCount = Source()->AccessChildCount();
    long nEnd = 0;
    if (nStart < 0)
        return E_INVALIDARG;
    if (nStart == 0 && nDirection == NAVDIR_FIRSTCHILD)
        nEnd = nCount > 0 ? 1 : 0;
    else if (nStart == 0 && nDirection == NAVDIR_LASTCHILD)
        nEnd = nCount;
    else if (nStart > 0 && nDirection == NAVDIR_NEXT)
        nEnd = nStart < nCount ? nStart + 1 : 0;
    else if (nStart > 0 && nDirection == NAVDIR_PREVIOUS)
        nEnd = nStart - 1;
    if (nEnd == 0)
        return S_FALSE; // no item that way: screen directions have no meaning here
    ChildResult(nEnd, pEnd);
    return S_OK;
}

STDMETHODIMP CKvAccessible::accHitTest(long x, long y, VARIANT* pChild) {
    if (!pChild)
        return E_POINTER;
    ::VariantInit(pChild);
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    if (m_bItemWindow)
        return System() ? System()->accHitTest(x, y, pChild) : S_FALSE;
    const POINT pt = {x, y};
    if (const long nChild = Source()->AccessChildAt(pt)) {
        ChildResult(nChild, pChild);
        return S_OK;
    }
    RECT rc = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rc);
    POINT ptClient = pt;
    ::ScreenToClient(m_hWnd, &ptClient);
    if (!::PtInRect(&rc, ptClient))
        return S_FALSE;
    SetI4(pChild, CHILDID_SELF);
    return S_OK;
}

STDMETHODIMP CKvAccessible::accDoDefaultAction(VARIANT child) {
    if (!m_pOwner)
        return CO_E_OBJNOTCONNECTED;
    const long nChild = Child(child);
    if (nChild < 0)
        return E_INVALIDARG;
    if (nChild == 0)
        return DISP_E_MEMBERNOTFOUND; // the dialog itself has no action
    return Source()->RunChild(nChild) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

} // namespace

CKvAccessObjects::~CKvAccessObjects() {
    Disconnect();
}

IAccessible* CKvAccessObjects::Object(HWND hWnd, bool bItemWindow) {
    if (m_bDisconnected || !::IsWindow(hWnd))
        return nullptr;
    auto found = std::find_if(m_objects.begin(), m_objects.end(), [&](IAccessible* pObject) {
        return static_cast<CKvAccessible*>(pObject)->Window() == hWnd;
    });
    if (found == m_objects.end())
        found = m_objects.insert(m_objects.end(), new CKvAccessible(this, hWnd, bItemWindow));
    (*found)->AddRef();
    return *found;
}

LRESULT CKvAccessObjects::Answer(HWND hWnd, bool bItemWindow, WPARAM wParam) {
    IAccessible* pObject = Object(hWnd, bItemWindow);
    if (!pObject)
        return 0;
    const LRESULT lResult = ::LresultFromObject(kIIDAccessible, wParam, pObject);
    pObject->Release();
    // Without COM on this thread nothing can be handed over: the system answers.
    return lResult > 0 ? lResult : 0;
}

void CKvAccessObjects::Disconnect() {
    m_bDisconnected = true;
    for (IAccessible* pObject : m_objects) {
        static_cast<CKvAccessible*>(pObject)->Disconnect();
        pObject->Release();
    }
    m_objects.clear();
}

UINT KvItemObjectMessage() {
    static const UINT nMessage = ::RegisterWindowMessageW(L"Kelvane.ItemObject");
    return nMessage;
}

LRESULT KvAnswerItemGetObject(HWND hItem, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    HWND hParent = ::GetParent(hItem);
    return hParent ? ::SendMessageW(hParent, KvItemObjectMessage(), reinterpret_cast<WPARAM>(hItem),
                                    static_cast<LPARAM>(wParam))
                   : 0;
}

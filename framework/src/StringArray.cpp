#include <afx.h>

#include <new>

IMPLEMENT_DYNCREATE(CStringArray, CObject)

CStringArray::CStringArray() : m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}

CStringArray::~CStringArray() {
    RemoveAll();
}

// Raw storage: elements [0, m_nSize) are constructed, the rest is room.
void CStringArray::Reserve(INT_PTR nCapacity) {
    if (nCapacity <= m_nMaxSize)
        return;
    INT_PTR grow = m_nGrowBy > 0 ? m_nGrowBy : (std::max)(INT_PTR(4), m_nMaxSize / 2);
    INT_PTR newMax = (std::max)(nCapacity, m_nMaxSize + grow);
    auto* fresh =
        static_cast<CString*>(::operator new(sizeof(CString) * static_cast<size_t>(newMax)));
    for (INT_PTR i = 0; i < m_nSize; ++i) {
        new (&fresh[i]) CString(static_cast<CString&&>(m_pData[i]));
        m_pData[i].~CString();
    }
    ::operator delete(m_pData);
    m_pData = fresh;
    m_nMaxSize = newMax;
}

void CStringArray::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy) {
    if (nNewSize < 0)
        AfxThrowInvalidIndex();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    if (nNewSize == 0) {
        RemoveAll();
        return;
    }
    Reserve(nNewSize);
    for (INT_PTR i = m_nSize; i < nNewSize; ++i)
        new (&m_pData[i]) CString();
    for (INT_PTR i = nNewSize; i < m_nSize; ++i)
        m_pData[i].~CString();
    m_nSize = nNewSize;
}

void CStringArray::FreeExtra() {
    if (m_nSize == m_nMaxSize)
        return;
    INT_PTR size = m_nSize;
    CString* old = m_pData;
    CString* fresh =
        size == 0 ? nullptr : static_cast<CString*>(::operator new(sizeof(CString) * size));
    for (INT_PTR i = 0; i < size; ++i) {
        new (&fresh[i]) CString(static_cast<CString&&>(old[i]));
        old[i].~CString();
    }
    ::operator delete(old);
    m_pData = fresh;
    m_nMaxSize = size;
}

void CStringArray::RemoveAll() {
    for (INT_PTR i = 0; i < m_nSize; ++i)
        m_pData[i].~CString();
    ::operator delete(m_pData);
    m_pData = nullptr;
    m_nSize = 0;
    m_nMaxSize = 0;
}

const CString& CStringArray::GetAt(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidIndex();
    return m_pData[nIndex];
}

CString& CStringArray::ElementAt(INT_PTR nIndex) {
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidIndex();
    return m_pData[nIndex];
}

void CStringArray::SetAt(INT_PTR nIndex, LPCWSTR newElement) {
    ElementAt(nIndex) = newElement;
}

void CStringArray::SetAtGrow(INT_PTR nIndex, LPCWSTR newElement) {
    if (nIndex < 0)
        AfxThrowInvalidIndex();
    if (nIndex >= m_nSize)
        SetSize(nIndex + 1);
    m_pData[nIndex] = newElement;
}

INT_PTR CStringArray::Add(const CString& newElement) {
    CString copy(newElement); // the element may live in this array
    Reserve(m_nSize + 1);
    new (&m_pData[m_nSize]) CString(static_cast<CString&&>(copy));
    return m_nSize++;
}

INT_PTR CStringArray::Add(LPCWSTR newElement) {
    return Add(CString(newElement));
}

INT_PTR CStringArray::Append(const CStringArray& src) {
    INT_PTR oldSize = m_nSize;
    if (&src == this) {
        CStringArray copy;
        copy.Copy(src);
        Append(copy);
        return oldSize;
    }
    Reserve(m_nSize + src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; ++i)
        new (&m_pData[m_nSize++]) CString(src.m_pData[i]);
    return oldSize;
}

void CStringArray::Copy(const CStringArray& src) {
    if (&src == this)
        return;
    RemoveAll();
    Append(src);
}

void CStringArray::InsertAt(INT_PTR nIndex, LPCWSTR newElement, INT_PTR nCount) {
    if (nIndex < 0 || nCount < 0)
        AfxThrowInvalidIndex();
    if (nCount == 0)
        return;
    CString value(newElement); // the text may live in this array
    if (nIndex >= m_nSize) {
        SetSize(nIndex + nCount);
    } else {
        Reserve(m_nSize + nCount);
        for (INT_PTR i = m_nSize - 1; i >= nIndex; --i) {
            new (&m_pData[i + nCount]) CString(static_cast<CString&&>(m_pData[i]));
            m_pData[i].~CString();
        }
        for (INT_PTR i = nIndex; i < nIndex + nCount; ++i)
            new (&m_pData[i]) CString();
        m_nSize += nCount;
    }
    for (INT_PTR i = nIndex; i < nIndex + nCount; ++i)
        m_pData[i] = value;
}

void CStringArray::InsertAt(INT_PTR nStartIndex, const CStringArray* pNewArray) {
    if (pNewArray == nullptr || pNewArray->m_nSize == 0)
        return;
    CStringArray copy;
    copy.Copy(*pNewArray);
    InsertAt(nStartIndex, copy.m_pData[0], copy.m_nSize);
    for (INT_PTR i = 1; i < copy.m_nSize; ++i)
        m_pData[nStartIndex + i] = copy.m_pData[i];
}

void CStringArray::RemoveAt(INT_PTR nIndex, INT_PTR nCount) {
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize)
        AfxThrowInvalidIndex();
    for (INT_PTR i = nIndex; i + nCount < m_nSize; ++i)
        m_pData[i] = static_cast<CString&&>(m_pData[i + nCount]);
    for (INT_PTR i = m_nSize - nCount; i < m_nSize; ++i)
        m_pData[i].~CString();
    m_nSize -= nCount;
}

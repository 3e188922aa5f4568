// String storage lives here, inside the framework DLL, so strings can be made
// in one module and freed in another.
#include <afx.h>
#include <afxwin.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

// The empty string every fresh CString points at; never written, never freed.
struct NilString {
    CStringData header;
    wchar_t terminator[2];
};
NilString g_nil = {{-1, 0, 0}, {0, 0}};

const long kNilRefs = -1;
const long kLockedRefs = -2;

// Character-type specific C runtime calls.
int FormatLength(const wchar_t* fmt, va_list args) {
    return _vscwprintf(fmt, args);
}
int FormatLength(const char* fmt, va_list args) {
    return _vscprintf(fmt, args);
}
int FormatInto(wchar_t* buf, size_t n, const wchar_t* fmt, va_list args) {
    return _vsnwprintf(buf, n, fmt, args);
}
int FormatInto(char* buf, size_t n, const char* fmt, va_list args) {
    return _vsnprintf(buf, n, fmt, args);
}
const wchar_t* FindSub(const wchar_t* s, const wchar_t* sub) {
    return wcsstr(s, sub);
}
const char* FindSub(const char* s, const char* sub) {
    return strstr(s, sub);
}
const wchar_t* FindChar(const wchar_t* s, wchar_t c) {
    return wcschr(s, c);
}
const char* FindChar(const char* s, char c) {
    return strchr(s, c);
}
int CompareText(const wchar_t* a, const wchar_t* b) {
    return wcscmp(a, b);
}
int CompareText(const char* a, const char* b) {
    return strcmp(a, b);
}
int CompareTextNoCase(const wchar_t* a, const wchar_t* b) {
    return _wcsicmp(a, b);
}
int CompareTextNoCase(const char* a, const char* b) {
    return _stricmp(a, b);
}
int CollateText(const wchar_t* a, const wchar_t* b) {
    return wcscoll(a, b);
}
int CollateText(const char* a, const char* b) {
    return strcoll(a, b);
}
int CollateTextNoCase(const wchar_t* a, const wchar_t* b) {
    return _wcsicoll(a, b);
}
int CollateTextNoCase(const char* a, const char* b) {
    return _stricoll(a, b);
}
void UpperInPlace(wchar_t* s, int n) {
    CharUpperBuffW(s, static_cast<DWORD>(n));
}
void UpperInPlace(char* s, int n) {
    CharUpperBuffA(s, static_cast<DWORD>(n));
}
void LowerInPlace(wchar_t* s, int n) {
    CharLowerBuffW(s, static_cast<DWORD>(n));
}
void LowerInPlace(char* s, int n) {
    CharLowerBuffA(s, static_cast<DWORD>(n));
}
bool IsBlank(wchar_t c) {
    return iswspace(c) != 0;
}
bool IsBlank(char c) {
    return isspace(static_cast<unsigned char>(c)) != 0;
}

// Conversions through the ANSI code page; the count excludes any terminator.
int ConvertedLength(const char* src, int n) {
    return MultiByteToWideChar(CP_ACP, 0, src, n, nullptr, 0);
}
int ConvertedLength(const wchar_t* src, int n) {
    return WideCharToMultiByte(CP_ACP, 0, src, n, nullptr, 0, nullptr, nullptr);
}
void ConvertInto(wchar_t* dst, int room, const char* src, int n) {
    MultiByteToWideChar(CP_ACP, 0, src, n, dst, room);
}
void ConvertInto(char* dst, int room, const wchar_t* src, int n) {
    WideCharToMultiByte(CP_ACP, 0, src, n, dst, room, nullptr, nullptr);
}

template <typename Ch> Ch* NilData() {
    return reinterpret_cast<Ch*>(&g_nil.header + 1);
}

template <typename Ch> Ch* AllocateData(int nAlloc) {
    size_t bytes = sizeof(CStringData) + (static_cast<size_t>(nAlloc) + 1) * sizeof(Ch);
    auto* header = static_cast<CStringData*>(malloc(bytes));
    if (header == nullptr)
        RaiseException(STATUS_NO_MEMORY, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    header->nRefs = 1;
    header->nDataLength = 0;
    header->nAllocLength = nAlloc;
    Ch* data = reinterpret_cast<Ch*>(header + 1);
    data[0] = 0;
    return data;
}

// Kept out of line: only headers made by AllocateData arrive here.
__attribute__((noinline)) void FreeData(CStringData* header) {
    free(header);
}

template <typename Ch> bool InSet(Ch c, const Ch* set) {
    return c != 0 && FindChar(set, c) != nullptr;
}

} // namespace

// An index outside the string or array is a caller's fault: stop with a clear
// structured exception rather than read or write beyond the storage.
void AfxThrowInvalidIndex() {
    RaiseException(EXCEPTION_ARRAY_BOUNDS_EXCEEDED, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

template <typename Ch> int CStringT<Ch>::Length(PCXSTR psz) {
    if (psz == nullptr)
        return 0;
    int n = 0;
    while (psz[n] != 0)
        ++n;
    return n;
}

template <typename Ch> CStringT<Ch>::CStringT() : m_pszData(NilData<Ch>()) {}

template <typename Ch> CStringT<Ch>::CStringT(const CStringT& src) : m_pszData(NilData<Ch>()) {
    *this = src;
}

template <typename Ch> CStringT<Ch>::CStringT(CStringT&& src) noexcept : m_pszData(src.m_pszData) {
    src.m_pszData = NilData<Ch>();
}

template <typename Ch>
CStringT<Ch>::CStringT(const CStringT<YCHAR>& src) : m_pszData(NilData<Ch>()) {
    AssignConverted(src.GetString(), src.GetLength());
}

template <typename Ch> CStringT<Ch>::CStringT(PCXSTR psz) : m_pszData(NilData<Ch>()) {
    SetString(psz, Length(psz));
}

template <typename Ch> CStringT<Ch>::CStringT(PCYSTR psz) : m_pszData(NilData<Ch>()) {
    int n = 0;
    if (psz != nullptr)
        while (psz[n] != 0)
            ++n;
    AssignConverted(psz, n);
}

template <typename Ch> CStringT<Ch>::CStringT(PCXSTR pch, int nLength) : m_pszData(NilData<Ch>()) {
    SetString(pch, pch == nullptr ? 0 : nLength);
}

template <typename Ch> CStringT<Ch>::CStringT(PCYSTR pch, int nLength) : m_pszData(NilData<Ch>()) {
    AssignConverted(pch, pch == nullptr ? 0 : nLength);
}

template <typename Ch> CStringT<Ch>::CStringT(XCHAR ch, int nRepeat) : m_pszData(NilData<Ch>()) {
    if (nRepeat <= 0)
        return;
    PXSTR p = PrepareWrite(nRepeat);
    for (int i = 0; i < nRepeat; ++i)
        p[i] = ch;
    SetLength(nRepeat);
}

template <typename Ch> CStringT<Ch>::~CStringT() {
    Release();
}

template <typename Ch> void CStringT<Ch>::Release() {
    CStringData* header = Header();
    if (header->nRefs == kNilRefs)
        return;
    if (header->nRefs == kLockedRefs || InterlockedDecrement(&header->nRefs) <= 0)
        FreeData(header);
    m_pszData = NilData<Ch>();
}

template <typename Ch> void CStringT<Ch>::AssignConverted(PCYSTR psz, int nLength) {
    if (psz == nullptr || nLength <= 0) {
        Empty();
        return;
    }
    int converted = ConvertedLength(psz, nLength);
    if (converted <= 0) {
        Empty();
        return;
    }
    PXSTR p = PrepareWrite(converted);
    ConvertInto(p, converted, psz, nLength);
    SetLength(converted);
}

// Gives this string a buffer of its own with room for nLength characters,
// keeping the current text (cut to nLength).
template <typename Ch> typename CStringT<Ch>::PXSTR CStringT<Ch>::PrepareWrite(int nLength) {
    if (nLength < 0)
        AfxThrowInvalidIndex();
    CStringData* old = Header();
    bool unique = old->nRefs == 1 || old->nRefs == kLockedRefs;
    if (unique && old->nAllocLength >= nLength)
        return m_pszData;
    int keep = (std::min)(old->nDataLength, nLength);
    int room = nLength;
    if (unique && nLength > old->nAllocLength)
        room = (std::max)(nLength, old->nAllocLength + old->nAllocLength / 2);
    PXSTR fresh = AllocateData<Ch>(room);
    memcpy(fresh, m_pszData, static_cast<size_t>(keep) * sizeof(Ch));
    reinterpret_cast<CStringData*>(fresh)[-1].nDataLength = keep;
    fresh[keep] = 0;
    Release();
    m_pszData = fresh;
    return m_pszData;
}

template <typename Ch> void CStringT<Ch>::SetLength(int nLength) {
    if (Header()->nRefs == kNilRefs) // nothing to write into
        return;
    Header()->nDataLength = nLength;
    m_pszData[nLength] = 0;
}

template <typename Ch> void CStringT<Ch>::SetString(PCXSTR psz, int nLength) {
    if (psz == nullptr || nLength <= 0) {
        Empty();
        return;
    }
    // The source may lie inside this string's own buffer.
    CStringT copy;
    PXSTR p = copy.PrepareWrite(nLength);
    memcpy(p, psz, static_cast<size_t>(nLength) * sizeof(Ch));
    copy.SetLength(nLength);
    *this = static_cast<CStringT&&>(copy);
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(const CStringT& src) {
    if (src.m_pszData == m_pszData)
        return *this;
    CStringData* header = src.Header();
    if (header->nRefs > 0) {
        InterlockedIncrement(&header->nRefs);
        Release();
        m_pszData = src.m_pszData;
    } else {
        SetString(src.m_pszData, header->nDataLength);
    }
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(CStringT&& src) noexcept {
    if (this != &src) {
        Release();
        m_pszData = src.m_pszData;
        src.m_pszData = NilData<Ch>();
    }
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(PCXSTR psz) {
    SetString(psz, Length(psz));
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(PCYSTR psz) {
    *this = CStringT(psz);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator=(XCHAR ch) {
    SetString(&ch, 1);
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator+=(const CStringT& src) {
    Append(src.m_pszData, src.GetLength());
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator+=(PCXSTR psz) {
    Append(psz, Length(psz));
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::operator+=(XCHAR ch) {
    Append(&ch, 1);
    return *this;
}

template <typename Ch> void CStringT<Ch>::Append(PCXSTR psz, int nLength) {
    if (psz == nullptr || nLength <= 0)
        return;
    int old = GetLength();
    bool fromSelf = psz >= m_pszData && psz <= m_pszData + Header()->nAllocLength;
    if (fromSelf) {
        // Growing would free the buffer the source points into.
        CStringT source(psz, nLength);
        Append(source.m_pszData, nLength);
        return;
    }
    PXSTR p = PrepareWrite(old + nLength);
    memcpy(p + old, psz, static_cast<size_t>(nLength) * sizeof(Ch));
    SetLength(old + nLength);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Concat(PCXSTR a, int nA, PCXSTR b, int nB) {
    CStringT result;
    if (nA + nB == 0)
        return result;
    PXSTR p = result.PrepareWrite(nA + nB);
    if (nA > 0)
        memcpy(p, a, static_cast<size_t>(nA) * sizeof(Ch));
    if (nB > 0)
        memcpy(p + nA, b, static_cast<size_t>(nB) * sizeof(Ch));
    result.SetLength(nA + nB);
    return result;
}

template <typename Ch> void CStringT<Ch>::Empty() {
    Release();
}

template <typename Ch> typename CStringT<Ch>::XCHAR CStringT<Ch>::GetAt(int iChar) const {
    if (iChar < 0 || iChar > GetLength()) // the terminator may be read, as with a plain array
        AfxThrowInvalidIndex();
    return m_pszData[iChar];
}

template <typename Ch> void CStringT<Ch>::SetAt(int iChar, XCHAR ch) {
    if (iChar < 0 || iChar >= GetLength())
        AfxThrowInvalidIndex();
    PrepareWrite(GetLength())[iChar] = ch;
}

template <typename Ch> typename CStringT<Ch>::PXSTR CStringT<Ch>::GetBuffer() {
    return GetBuffer(0);
}

template <typename Ch> typename CStringT<Ch>::PXSTR CStringT<Ch>::GetBuffer(int nMinBufferLength) {
    PXSTR p = PrepareWrite((std::max)(nMinBufferLength, GetLength()));
    if (Header()->nRefs == kNilRefs) // a zero-length request on the empty string
        p = PrepareWrite(1);
    Header()->nRefs = kLockedRefs;
    return p;
}

template <typename Ch> typename CStringT<Ch>::PXSTR CStringT<Ch>::GetBufferSetLength(int nLength) {
    PXSTR p = GetBuffer(nLength);
    SetLength(nLength);
    return p;
}

template <typename Ch> void CStringT<Ch>::ReleaseBuffer(int nNewLength) {
    CStringData* header = Header();
    if (header->nRefs == kNilRefs)
        return;
    if (nNewLength < 0) {
        // Bounded by the allocation: a buffer left without a terminator stays inside it.
        nNewLength = 0;
        while (nNewLength < header->nAllocLength && m_pszData[nNewLength] != 0)
            ++nNewLength;
    }
    nNewLength = (std::min)(nNewLength, header->nAllocLength);
    if (header->nRefs == kLockedRefs)
        header->nRefs = 1;
    SetLength(nNewLength);
}

template <typename Ch> void CStringT<Ch>::ReleaseBufferSetLength(int nNewLength) {
    ReleaseBuffer(nNewLength < 0 ? 0 : nNewLength);
}

template <typename Ch> void CStringT<Ch>::Preallocate(int nLength) {
    PrepareWrite((std::max)(nLength, GetLength()));
}

template <typename Ch> void CStringT<Ch>::FreeExtra() {
    if (Header()->nAllocLength > GetLength() && Header()->nRefs > 0) {
        CStringT copy(m_pszData, GetLength());
        *this = static_cast<CStringT&&>(copy);
    }
}

template <typename Ch> void CStringT<Ch>::FormatV(PCXSTR pszFormat, va_list args) {
    CStringT result;
    result.AppendFormatV(pszFormat, args);
    *this = static_cast<CStringT&&>(result);
}

template <typename Ch> void CStringT<Ch>::FormatArgs(PCXSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

template <typename Ch> void CStringT<Ch>::AppendFormatV(PCXSTR pszFormat, va_list args) {
    if (pszFormat == nullptr)
        return;
    va_list measure;
    va_copy(measure, args);
    int added = FormatLength(pszFormat, measure);
    va_end(measure);
    if (added <= 0)
        return;
    int old = GetLength();
    PXSTR p = PrepareWrite(old + added);
    FormatInto(p + old, static_cast<size_t>(added) + 1, pszFormat, args);
    SetLength(old + added);
}

template <typename Ch> void CStringT<Ch>::AppendFormatArgs(PCXSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

template <typename Ch> int CStringT<Ch>::Find(XCHAR ch, int iStart) const {
    if (iStart < 0 || iStart >= GetLength())
        return -1;
    PCXSTR hit = FindChar(m_pszData + iStart, ch);
    return hit == nullptr ? -1 : static_cast<int>(hit - m_pszData);
}

template <typename Ch> int CStringT<Ch>::Find(PCXSTR pszSub, int iStart) const {
    if (pszSub == nullptr || iStart < 0 || iStart > GetLength())
        return -1;
    PCXSTR hit = FindSub(m_pszData + iStart, pszSub);
    return hit == nullptr ? -1 : static_cast<int>(hit - m_pszData);
}

template <typename Ch> int CStringT<Ch>::ReverseFind(XCHAR ch) const {
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pszData[i] == ch)
            return i;
    return -1;
}

template <typename Ch> int CStringT<Ch>::FindOneOf(PCXSTR pszCharSet) const {
    if (pszCharSet == nullptr)
        return -1;
    for (int i = 0; i < GetLength(); ++i)
        if (InSet(m_pszData[i], pszCharSet))
            return i;
    return -1;
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Mid(int iFirst, int nCount) const {
    int len = GetLength();
    if (iFirst < 0)
        iFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (iFirst > len)
        iFirst = len;
    if (nCount > len - iFirst)
        nCount = len - iFirst;
    if (iFirst == 0 && nCount == len)
        return *this;
    return CStringT(m_pszData + iFirst, nCount);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Mid(int iFirst) const {
    return Mid(iFirst, GetLength());
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Left(int nCount) const {
    return Mid(0, nCount);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Right(int nCount) const {
    int len = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > len)
        nCount = len;
    return Mid(len - nCount, nCount);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::SpanIncluding(PCXSTR pszCharSet) const {
    int n = 0;
    while (n < GetLength() && pszCharSet != nullptr && InSet(m_pszData[n], pszCharSet))
        ++n;
    return Left(n);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::SpanExcluding(PCXSTR pszCharSet) const {
    int n = 0;
    while (n < GetLength() && (pszCharSet == nullptr || !InSet(m_pszData[n], pszCharSet)))
        ++n;
    return Left(n);
}

template <typename Ch> CStringT<Ch> CStringT<Ch>::Tokenize(PCXSTR pszTokens, int& iStart) const {
    int len = GetLength();
    if (iStart < 0 || iStart >= len) {
        iStart = -1;
        return CStringT();
    }
    if (pszTokens == nullptr || *pszTokens == 0) {
        CStringT rest = Mid(iStart);
        iStart = len;
        return rest;
    }
    int from = iStart;
    while (from < len && InSet(m_pszData[from], pszTokens))
        ++from;
    if (from >= len) {
        iStart = -1;
        return CStringT();
    }
    int until = from;
    while (until < len && !InSet(m_pszData[until], pszTokens))
        ++until;
    iStart = until + 1;
    return Mid(from, until - from);
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::MakeUpper() {
    if (GetLength() > 0)
        UpperInPlace(PrepareWrite(GetLength()), GetLength());
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::MakeLower() {
    if (GetLength() > 0)
        LowerInPlace(PrepareWrite(GetLength()), GetLength());
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::MakeReverse() {
    int len = GetLength();
    if (len > 1) {
        PXSTR p = PrepareWrite(len);
        for (int i = 0, j = len - 1; i < j; ++i, --j) {
            XCHAR t = p[i];
            p[i] = p[j];
            p[j] = t;
        }
    }
    return *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimLeft() {
    int n = 0;
    while (n < GetLength() && IsBlank(m_pszData[n]))
        ++n;
    return Delete(0, n), *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimLeft(XCHAR chTarget) {
    int n = 0;
    while (n < GetLength() && m_pszData[n] == chTarget)
        ++n;
    return Delete(0, n), *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimLeft(PCXSTR pszTargets) {
    if (pszTargets == nullptr)
        return *this;
    int n = 0;
    while (n < GetLength() && InSet(m_pszData[n], pszTargets))
        ++n;
    return Delete(0, n), *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimRight() {
    int n = GetLength();
    while (n > 0 && IsBlank(m_pszData[n - 1]))
        --n;
    return Delete(n, GetLength() - n), *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimRight(XCHAR chTarget) {
    int n = GetLength();
    while (n > 0 && m_pszData[n - 1] == chTarget)
        --n;
    return Delete(n, GetLength() - n), *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::TrimRight(PCXSTR pszTargets) {
    if (pszTargets == nullptr)
        return *this;
    int n = GetLength();
    while (n > 0 && InSet(m_pszData[n - 1], pszTargets))
        --n;
    return Delete(n, GetLength() - n), *this;
}

template <typename Ch> CStringT<Ch>& CStringT<Ch>::Trim() {
    return TrimRight().TrimLeft();
}
template <typename Ch> CStringT<Ch>& CStringT<Ch>::Trim(XCHAR chTarget) {
    return TrimRight(chTarget).TrimLeft(chTarget);
}
template <typename Ch> CStringT<Ch>& CStringT<Ch>::Trim(PCXSTR pszTargets) {
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

template <typename Ch> int CStringT<Ch>::Compare(PCXSTR psz) const {
    return CompareText(m_pszData, psz == nullptr ? NilData<Ch>() : psz);
}
template <typename Ch> int CStringT<Ch>::CompareNoCase(PCXSTR psz) const {
    return CompareTextNoCase(m_pszData, psz == nullptr ? NilData<Ch>() : psz);
}
template <typename Ch> int CStringT<Ch>::Collate(PCXSTR psz) const {
    return CollateText(m_pszData, psz == nullptr ? NilData<Ch>() : psz);
}
template <typename Ch> int CStringT<Ch>::CollateNoCase(PCXSTR psz) const {
    return CollateTextNoCase(m_pszData, psz == nullptr ? NilData<Ch>() : psz);
}

template <typename Ch> int CStringT<Ch>::Replace(XCHAR chOld, XCHAR chNew) {
    int count = 0;
    for (int i = 0; i < GetLength(); ++i)
        if (m_pszData[i] == chOld)
            ++count;
    if (count == 0 || chOld == chNew)
        return count;
    PXSTR p = PrepareWrite(GetLength());
    for (int i = 0; i < GetLength(); ++i)
        if (p[i] == chOld)
            p[i] = chNew;
    return count;
}

template <typename Ch> int CStringT<Ch>::Replace(PCXSTR pszOld, PCXSTR pszNew) {
    int oldLen = Length(pszOld);
    if (oldLen == 0)
        return 0;
    int newLen = Length(pszNew);
    CStringT result;
    int count = 0;
    int pos = 0;
    for (int hit = Find(pszOld, 0); hit >= 0; hit = Find(pszOld, pos)) {
        result.Append(m_pszData + pos, hit - pos);
        result.Append(pszNew, newLen);
        pos = hit + oldLen;
        ++count;
    }
    if (count == 0)
        return 0;
    result.Append(m_pszData + pos, GetLength() - pos);
    *this = static_cast<CStringT&&>(result);
    return count;
}

template <typename Ch> int CStringT<Ch>::Remove(XCHAR chRemove) {
    int len = GetLength();
    int kept = 0;
    for (int i = 0; i < len; ++i)
        if (m_pszData[i] != chRemove)
            ++kept;
    if (kept == len)
        return 0;
    PXSTR p = PrepareWrite(len);
    int out = 0;
    for (int i = 0; i < len; ++i)
        if (p[i] != chRemove)
            p[out++] = p[i];
    SetLength(out);
    return len - out;
}

template <typename Ch> int CStringT<Ch>::Insert(int iIndex, PCXSTR psz) {
    int len = GetLength();
    int n = Length(psz);
    iIndex = (std::max)(0, (std::min)(iIndex, len));
    if (n == 0)
        return len;
    CStringT result;
    result.Preallocate(len + n);
    result.Append(m_pszData, iIndex);
    result.Append(psz, n);
    result.Append(m_pszData + iIndex, len - iIndex);
    *this = static_cast<CStringT&&>(result);
    return GetLength();
}

template <typename Ch> int CStringT<Ch>::Insert(int iIndex, XCHAR ch) {
    XCHAR one[2] = {ch, 0};
    return ch == 0 ? GetLength() : Insert(iIndex, one);
}

template <typename Ch> int CStringT<Ch>::Delete(int iIndex, int nCount) {
    int len = GetLength();
    if (iIndex < 0)
        iIndex = 0;
    if (nCount <= 0 || iIndex >= len)
        return len;
    nCount = (std::min)(nCount, len - iIndex);
    PXSTR p = PrepareWrite(len);
    memmove(p + iIndex, p + iIndex + nCount,
            static_cast<size_t>(len - iIndex - nCount) * sizeof(Ch));
    SetLength(len - nCount);
    return len - nCount;
}

namespace {
// The string table keeps strings in blocks of 16, each counted, not terminated.
bool LoadResourceText(UINT nID, const wchar_t*& text, int& length) {
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEW((nID >> 4) + 1), RT_STRING);
    const wchar_t* p = nullptr;
    length = LoadStringW(hInst, nID, reinterpret_cast<LPWSTR>(&p), 0);
    text = p;
    return length > 0 && p != nullptr;
}
} // namespace

template <typename Ch> BOOL CStringT<Ch>::LoadString(UINT nID) {
    const wchar_t* text = nullptr;
    int length = 0;
    if (!LoadResourceText(nID, text, length))
        return FALSE;
    *this = CStringT(CStringW(text, length));
    return TRUE;
}

template class CStringT<wchar_t>;
template class CStringT<char>;

// Reference-counted strings with the classic one-pointer layout: the object
// holds only a pointer to its characters, and the bookkeeping header sits in
// front of them. That keeps a string usable as a printf-style "%s" argument.
#pragma once

#include <windows.h>

#include "afxapi.h"
#include <stdarg.h>
#include <type_traits>

struct CStringData {
    long nRefs;       // > 0 shared count; -1 the shared empty string; -2 buffer handed out
    int nDataLength;  // characters in use, without the terminator
    int nAllocLength; // characters of room, without the terminator
};

template <typename BaseType> class CStringT {
public:
    typedef BaseType XCHAR;
    typedef BaseType* PXSTR;
    typedef const BaseType* PCXSTR;
    typedef typename std::conditional<std::is_same<BaseType, wchar_t>::value, char, wchar_t>::type
        YCHAR;
    typedef YCHAR* PYSTR;
    typedef const YCHAR* PCYSTR;

    CStringT();
    CStringT(const CStringT& src);
    CStringT(CStringT&& src) noexcept;
    CStringT(const CStringT<YCHAR>& src);
    CStringT(PCXSTR psz);
    CStringT(PCYSTR psz);
    CStringT(PCXSTR pch, int nLength);
    CStringT(PCYSTR pch, int nLength);
    explicit CStringT(XCHAR ch, int nRepeat = 1);
    ~CStringT();

    CStringT& operator=(const CStringT& src);
    CStringT& operator=(CStringT&& src) noexcept;
    CStringT& operator=(PCXSTR psz);
    CStringT& operator=(PCYSTR psz);
    CStringT& operator=(XCHAR ch);
    CStringT& operator+=(const CStringT& src);
    CStringT& operator+=(PCXSTR psz);
    CStringT& operator+=(XCHAR ch);

    int GetLength() const { return Header()->nDataLength; }
    int GetAllocLength() const { return Header()->nAllocLength; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    XCHAR GetAt(int iChar) const;
    XCHAR operator[](int iChar) const { return GetAt(iChar); }
    void SetAt(int iChar, XCHAR ch);
    operator PCXSTR() const { return m_pszData; }
    PCXSTR GetString() const { return m_pszData; }

    // The buffer stays valid until ReleaseBuffer or the next change of the string.
    PXSTR GetBuffer();
    PXSTR GetBuffer(int nMinBufferLength);
    PXSTR GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);
    void ReleaseBufferSetLength(int nNewLength);
    void Preallocate(int nLength);
    void FreeExtra();
    void SetString(PCXSTR psz, int nLength);
    void Append(PCXSTR psz, int nLength);
    void AppendChar(XCHAR ch) { Append(&ch, 1); }

    // The format rules are the C runtime's wide or narrow printf: in the wide
    // form %s takes a wide string and %S a narrow one. GCC passes a class
    // object through "..." by reference, so string arguments are turned into
    // their character pointers here; other printf-style calls need an explicit
    // GetString() or (LPCWSTR) cast.
    template <typename... Args> void Format(PCXSTR pszFormat, const Args&... args) {
        FormatArgs(pszFormat, VarArg(args)...);
    }
    template <typename... Args> void AppendFormat(PCXSTR pszFormat, const Args&... args) {
        AppendFormatArgs(pszFormat, VarArg(args)...);
    }
    void FormatV(PCXSTR pszFormat, va_list args);
    void AppendFormatV(PCXSTR pszFormat, va_list args);
    void FormatArgs(PCXSTR pszFormat, ...);
    void AppendFormatArgs(PCXSTR pszFormat, ...);

    int Find(XCHAR ch, int iStart = 0) const;
    int Find(PCXSTR pszSub, int iStart = 0) const;
    int ReverseFind(XCHAR ch) const;
    int FindOneOf(PCXSTR pszCharSet) const;

    CStringT Left(int nCount) const;
    CStringT Mid(int iFirst) const;
    CStringT Mid(int iFirst, int nCount) const;
    CStringT Right(int nCount) const;
    CStringT SpanIncluding(PCXSTR pszCharSet) const;
    CStringT SpanExcluding(PCXSTR pszCharSet) const;
    CStringT Tokenize(PCXSTR pszTokens, int& iStart) const;

    CStringT& MakeUpper();
    CStringT& MakeLower();
    CStringT& MakeReverse();
    CStringT& Trim();
    CStringT& Trim(XCHAR chTarget);
    CStringT& Trim(PCXSTR pszTargets);
    CStringT& TrimLeft();
    CStringT& TrimLeft(XCHAR chTarget);
    CStringT& TrimLeft(PCXSTR pszTargets);
    CStringT& TrimRight();
    CStringT& TrimRight(XCHAR chTarget);
    CStringT& TrimRight(PCXSTR pszTargets);

    int Compare(PCXSTR psz) const;
    int CompareNoCase(PCXSTR psz) const;
    int Collate(PCXSTR psz) const;
    int CollateNoCase(PCXSTR psz) const;

    int Replace(XCHAR chOld, XCHAR chNew);
    int Replace(PCXSTR pszOld, PCXSTR pszNew);
    int Remove(XCHAR chRemove);
    int Insert(int iIndex, XCHAR ch);
    int Insert(int iIndex, PCXSTR psz);
    int Delete(int iIndex, int nCount = 1);

    BOOL LoadString(UINT nID);

    friend CStringT operator+(const CStringT& a, const CStringT& b) {
        return Concat(a, a.GetLength(), b, b.GetLength());
    }
    friend CStringT operator+(const CStringT& a, PCXSTR b) {
        return Concat(a, a.GetLength(), b, Length(b));
    }
    friend CStringT operator+(PCXSTR a, const CStringT& b) {
        return Concat(a, Length(a), b, b.GetLength());
    }
    friend CStringT operator+(const CStringT& a, XCHAR b) {
        return Concat(a, a.GetLength(), &b, 1);
    }
    friend CStringT operator+(XCHAR a, const CStringT& b) {
        return Concat(&a, 1, b, b.GetLength());
    }

    friend bool operator==(const CStringT& a, const CStringT& b) { return a.Compare(b) == 0; }
    friend bool operator==(const CStringT& a, PCXSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(PCXSTR a, const CStringT& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return a.Compare(b) != 0; }
    friend bool operator!=(const CStringT& a, PCXSTR b) { return a.Compare(b) != 0; }
    friend bool operator!=(PCXSTR a, const CStringT& b) { return b.Compare(a) != 0; }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CStringT& a, PCXSTR b) { return a.Compare(b) < 0; }
    friend bool operator<(PCXSTR a, const CStringT& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
    friend bool operator<=(const CStringT& a, const CStringT& b) { return a.Compare(b) <= 0; }
    friend bool operator>=(const CStringT& a, const CStringT& b) { return a.Compare(b) >= 0; }

private:
    PXSTR m_pszData;

    template <typename T> static const T& VarArg(const T& value) { return value; }
    static PCXSTR VarArg(const CStringT& value) { return value.GetString(); }
    static PCYSTR VarArg(const CStringT<YCHAR>& value) { return value.GetString(); }

    CStringData* Header() const { return reinterpret_cast<CStringData*>(m_pszData) - 1; }
    static int Length(PCXSTR psz);
    static CStringT Concat(PCXSTR a, int nA, PCXSTR b, int nB);
    void Release();
    PXSTR PrepareWrite(int nLength);
    void SetLength(int nLength);
    void AssignConverted(PCYSTR psz, int nLength);
};

typedef CStringT<wchar_t> CStringW;
typedef CStringT<char> CStringA;
typedef CStringW CString;

// The DLL instantiates and exports both strings. Callers must not declare the
// instantiation themselves: GCC then expects the inline members from the DLL,
// which never exports them, and an unoptimised caller fails to link. Callers
// instantiate the inline members and reach the others through the import
// library.
#ifdef KVAFX_BUILDING
extern template class AFX_API CStringT<wchar_t>;
extern template class AFX_API CStringT<char>;
#endif

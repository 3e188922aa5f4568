#include "DialogKit.h"

#include <cstdio>
#include <cwchar>

namespace DialogKit {

namespace {

std::wstring Element(const wchar_t* name, const Attributes& attributes) {
    std::wstring xml = std::wstring(L"<") + name;
    for (const auto& attribute : attributes)
        xml += L" " + attribute.first + L"=\"" + attribute.second + L"\"";
    return xml + L"/>";
}

bool WriteFile(const std::wstring& path, const void* pBytes, size_t nBytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool written = fwrite(pBytes, 1, nBytes, file) == nBytes;
    return fclose(file) == 0 && written;
}

#pragma pack(push, 2)
struct IconFileHeader {
    WORD wReserved, wType, wCount;
    BYTE bWidth, bHeight, bColours, bReserved;
    WORD wPlanesOrHotX, wBitsOrHotY;
    DWORD dwBytes, dwOffset;
    BITMAPINFOHEADER image;
};
#pragma pack(pop)

} // namespace

Attributes Parse(const std::wstring& spec) {
    Attributes attributes;
    for (size_t start = 0; start < spec.size();) {
        size_t end = spec.find(L'|', start);
        end = end == std::wstring::npos ? spec.size() : end;
        const size_t equals = spec.find(L'=', start);
        attributes.push_back(
            {spec.substr(start, equals - start), spec.substr(equals + 1, end - equals - 1)});
        start = end + 1;
    }
    return attributes;
}

void SetAttribute(Attributes& attributes, const wchar_t* pszName, const std::wstring& value) {
    for (auto& attribute : attributes)
        if (attribute.first == pszName) {
            attribute.second = value;
            return;
        }
    attributes.push_back({pszName, value});
}

std::wstring WriteSkin(const ImageKit::TempFolder& folder, const wchar_t* name, const Skin& skin,
                       const wchar_t* pszSection) {
    std::vector<std::wstring> steps;
    for (const wchar_t* p = pszSection; *p;) {
        const wchar_t* end = wcschr(p, L'\\');
        steps.emplace_back(p, end ? end : p + wcslen(p));
        p = end ? end + 1 : p + wcslen(p);
    }
    std::wstring xml = L"\xFEFF<Skin>";
    for (const auto& step : steps)
        xml += L"<" + step + L">";
    xml += L"<WindowInfo>";
    for (const auto& entry : skin.window)
        xml += Element(L"E", {{L"ItemID", entry.first}, {L"Data", entry.second}});
    xml += L"</WindowInfo><DynamicInfo>";
    for (const auto& item : skin.items)
        xml += Element(L"Item", item);
    xml += L"</DynamicInfo>";
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        xml += L"</" + *step + L">";
    xml += L"</Skin>";
    const std::wstring path = folder.File(name);
    return WriteFile(path, xml.data(), xml.size() * sizeof(wchar_t)) ? path : std::wstring();
}

bool SaveIconFile(const std::wstring& path, int size, Gdiplus::ARGB colour, bool bCursor) {
    const DWORD nMaskBytes = static_cast<DWORD>((size + 31) / 32 * 4 * size);
    const DWORD nImageBytes = sizeof(BITMAPINFOHEADER) + static_cast<DWORD>(size * size * 4);
    // Colour rows, then the AND mask: the image is twice as high as the icon.
    IconFileHeader header = {
        0,
        static_cast<WORD>(bCursor ? 2 : 1),
        1,
        static_cast<BYTE>(size),
        static_cast<BYTE>(size),
        0,
        0,
        static_cast<WORD>(bCursor ? 0 : 1),
        static_cast<WORD>(bCursor ? 0 : 32),
        nImageBytes + nMaskBytes,
        22,
        {sizeof(BITMAPINFOHEADER), size, 2 * size, 1, 32, BI_RGB, 0, 0, 0, 0, 0}};
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(&header),
                            reinterpret_cast<BYTE*>(&header) + sizeof(header));
    const std::vector<Gdiplus::ARGB> pixels(static_cast<size_t>(size * size), colour);
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(pixels.data()),
                 reinterpret_cast<const BYTE*>(pixels.data() + pixels.size()));
    bytes.resize(bytes.size() + nMaskBytes);
    return WriteFile(path, bytes.data(), bytes.size());
}

CDibCanvas::CDibCanvas(int nWidth, int nHeight)
    : m_nWidth(nWidth), m_hBitmap(ImageKit::CreateDib(nWidth, nHeight, &m_pPixels)) {
    m_dc.Attach(::CreateCompatibleDC(nullptr));
    m_hOld = ::SelectObject(m_dc.m_hDC, m_hBitmap);
}

CDibCanvas::~CDibCanvas() {
    ::SelectObject(m_dc.m_hDC, m_hOld);
    m_dc.DeleteDC();
    ::DeleteObject(m_hBitmap);
}

DWORD CDibCanvas::Pixel(int x, int y) const {
    ::GdiFlush();
    return m_pPixels[y * m_nWidth + x];
}

void Pump(CWnd* pDlg, DWORD nMilliseconds) {
    const ULONGLONG end = ::GetTickCount64() + nMilliseconds;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (pDlg->PreTranslateMessage(&msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (nMilliseconds)
            ::Sleep(10);
    } while (::GetTickCount64() < end);
}

BEGIN_MESSAGE_MAP(CProbeDlg, CKvCommonDlg)
ON_WM_NCLBUTTONDOWN()
ON_MESSAGE(WM_PROBE_END, OnProbeEnd)
ON_COMMAND(kProbeCommandID, OnProbeCommand)
END_MESSAGE_MAP()

// Modeless probes do not take the focus: under Wine without a window manager,
// destroying the active window waits two seconds for the X server.
BOOL CProbeDlg::OnInitDialog() {
    CKvCommonDlg::OnInitDialog();
    if (!m_onInit)
        return FALSE;
    m_onInit(*this);
    return TRUE;
}

BOOL CProbeDlg::OnItemCommand(_XmlDynamicItem& item) {
    m_itemCommands.push_back(item.strID);
    return m_bItemCommandResult;
}

BOOL CProbeDlg::InitWindowSkin() {
    const BOOL bResult = CKvCommonDlg::InitWindowSkin();
    if (m_afterWindowSkin)
        m_afterWindowSkin(*this);
    return bResult;
}

// Recorded, not passed on: the system's move loop would wait for the mouse.
void CProbeDlg::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    if (nHitTest == HTCAPTION)
        m_captionPresses.push_back(MAKELPARAM(point.x, point.y));
}

LRESULT CProbeDlg::OnProbeEnd(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
}

void CProbeDlg::OnProbeCommand() {
    ++m_nProbeCommands;
}

BEGIN_MESSAGE_MAP(CWndLessProbeDlg, CKvCommonWndLessDlg)
ON_WM_NCLBUTTONDOWN()
ON_MESSAGE(WM_PROBE_END, OnProbeEnd)
END_MESSAGE_MAP()

BOOL CWndLessProbeDlg::OnInitDialog() {
    CKvCommonWndLessDlg::OnInitDialog();
    if (!m_onInit)
        return FALSE;
    m_onInit(*this);
    return TRUE;
}

BOOL CWndLessProbeDlg::DrawSheet(CDC* pDC) {
    ++m_nCompositions;
    return CKvCommonWndLessDlg::DrawSheet(pDC);
}

BOOL CWndLessProbeDlg::OnItemCommand(_XmlDynamicItem& item) {
    m_itemCommands.push_back(item.strID);
    return m_bApplyRoles ? CKvCommonWndLessDlg::OnItemCommand(item) : TRUE;
}

void CWndLessProbeDlg::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    if (nHitTest == HTCAPTION)
        m_captionPresses.push_back(MAKELPARAM(point.x, point.y));
}

LRESULT CWndLessProbeDlg::OnProbeEnd(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
}

} // namespace DialogKit

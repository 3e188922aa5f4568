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

} // namespace

Attributes Parse(const std::wstring& text) {
    Attributes attributes;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'|', start);
        end = end == std::wstring::npos ? text.size() : end;
        const size_t equals = text.find(L'=', start);
        attributes.push_back(
            {text.substr(start, equals - start), text.substr(equals + 1, end - equals - 1)});
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
    std::wstring open, close;
    for (const wchar_t* p = pszSection; *p;) {
        const wchar_t* end = p + wcscspn(p, L"\\");
        const std::wstring step(p, end);
        open += L"<" + step + L">";
        close = L"</" + step + L">" + close;
        p = *end ? end + 1 : end;
    }
    std::wstring xml = L"\xFEFF<Skin>" + open + L"<WindowInfo>";
    for (const auto& entry : skin.window)
        xml += Element(L"E", {{L"ItemID", entry.first}, {L"Data", entry.second}});
    xml += L"</WindowInfo><DynamicInfo>";
    for (const auto& item : skin.items)
        xml += Element(L"Item", item);
    xml += L"</DynamicInfo>" + close + L"</Skin>";
    const std::wstring path = folder.File(name);
    const std::string bytes(reinterpret_cast<const char*>(xml.data()),
                            xml.size() * sizeof(wchar_t));
    return ImageKit::WriteBytes(path, bytes) ? path : std::wstring();
}

std::wstring WriteGridSkin(const ImageKit::TempFolder& folder, const wchar_t* name,
                           const Grid& grid, const std::wstring& window,
                           const std::function<std::wstring(int)>& perItem) {
    ImageKit::SaveStrip(folder, L"back.png", {0xC0204080}, grid.sheet.cx, grid.sheet.cy);
    ImageKit::SaveStrip(folder, L"label.png", {0x80FFFFFF}, grid.item.cx, grid.item.cy);
    ImageKit::SaveStrip(folder, L"strip.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080},
                        grid.item.cx, grid.item.cy);
    ImageKit::SaveStrip(folder, L"icon.png", {0xFFFFCC00}, 16, 16);
    ImageKit::WriteBytes(folder.File(L"app.ico"), ImageKit::IconFileBytes(1, 32));
    ImageKit::WriteBytes(folder.File(L"hand.cur"), ImageKit::IconFileBytes(2, 32));
    const auto pair = [](long a, long b) { return std::to_wstring(a) + L"," + std::to_wstring(b); };
    Skin skin;
    skin.window = Parse(window);
    SetAttribute(skin.window, L"SheetSize", pair(grid.sheet.cx, grid.sheet.cy));
    SetAttribute(skin.window, L"BackBmp", L"back.png");
    for (int i = 0; i < grid.nItems; ++i) {
        const std::wstring n = std::to_wstring(i);
        Attributes item = Parse(L"ID=item" + n + L"|Name=Item " + n + L"|Pos=" +
                                pair(grid.nMargin + i % grid.nColumns * grid.pitch.cx,
                                     grid.nMargin + i / grid.nColumns * grid.pitch.cy) +
                                L"," + pair(grid.item.cx, grid.item.cy));
        for (const auto& attribute : Parse(perItem(i)))
            SetAttribute(item, attribute.first.c_str(), attribute.second);
        skin.items.push_back(item);
    }
    return WriteSkin(folder, name, skin);
}

COLORREF ScreenPixel(HWND hWnd, POINT client) {
    ::ClientToScreen(hWnd, &client);
    HDC hScreen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(hScreen, client.x, client.y);
    ::ReleaseDC(nullptr, hScreen);
    return colour;
}

bool ScreenShows(HWND hWnd, POINT client, COLORREF colour, DWORD nMilliseconds) {
    return WindowKit::WaitFor([&] { return ScreenPixel(hWnd, client) == colour; }, nMilliseconds);
}

std::string PictureDifference(const ::CKvCanvas& kept, const ::CKvCanvas& whole) {
    const int cx = kept.Width(), cy = kept.Height();
    char text[96] = "";
    ::GdiFlush();
    if (cx != whole.Width() || cy != whole.Height())
        std::snprintf(text, sizeof(text), "sizes %dx%d and %dx%d", cx, cy, whole.Width(),
                      whole.Height());
    for (int i = 0; !*text && i < cx * cy; ++i)
        if (kept.Bits()[i] != whole.Bits()[i])
            std::snprintf(text, sizeof(text), "at %d,%d kept 0x%08X, whole 0x%08X", i % cx, i / cx,
                          kept.Bits()[i], whole.Bits()[i]);
    return text;
}

namespace {

bool PreTranslated(CWnd* pDlg, MSG* pMsg) {
    bool bOffered = false;
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h))
        if (CWnd* pWnd = CWnd::FromHandlePermanent(h)) {
            if (pWnd->PreTranslateMessage(pMsg))
                return true;
            bOffered |= pWnd == pDlg;
        }
    return pDlg && !bOffered && pDlg->PreTranslateMessage(pMsg);
}

} // namespace

void Pump(CWnd* pDlg, DWORD nMilliseconds) {
    const ULONGLONG end = ::GetTickCount64() + nMilliseconds;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (PreTranslated(pDlg, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (nMilliseconds)
            ::Sleep(10);
    } while (::GetTickCount64() < end);
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

BOOL CWndLessProbeDlg::OnItemCommand(_XmlDynamicItem& item) {
    m_itemCommands.push_back(item.strID);
    return m_bApplyRoles ? CKvCommonWndLessDlg::OnItemCommand(item) : TRUE;
}

} // namespace DialogKit

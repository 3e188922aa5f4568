#include "tools/kvskin/SectionPicture.h"

#include "skin/BmpButton.h"
#include "skin/Canvas.h"
#include "skin/ControlLayout.h"
#include "skin/DialogModel.h"
#include "skin/WndLessSheet.h"
#include "tools/common/Utf8.h"

namespace {

// The framework's view of a canvas's DC, for DrawSheet; the canvas owns the DC.
class CCanvasDC : public CDC {
public:
    explicit CCanvasDC(const CKvCanvas& canvas) { Attach(canvas.DC()); }
    ~CCanvasDC() { Detach(); }
};

// The canvas's pixels, made straight from premultiplied ones, or made
// opaque for a picture that is shown opaque (GDI leaves its alpha undefined).
CapturePixels::ArgbImage PictureOf(const CKvCanvas& canvas, bool bWithAlpha) {
    ::GdiFlush(); // GDI may still be writing to the section
    CapturePixels::ArgbImage image;
    image.nWidth = canvas.Width();
    image.nHeight = canvas.Height();
    const uint32_t* pBits = canvas.Bits();
    image.pixels.assign(pBits, pBits + static_cast<size_t>(image.nWidth) * image.nHeight);
    for (uint32_t& pixel : image.pixels)
        pixel = bWithAlpha ? CapturePixels::Unpremultiply(pixel) : pixel | 0xFF000000u;
    return image;
}

const ItemLook kMouseLooks[] = {kEveryLook[0], kEveryLook[1], kEveryLook[2]};

// The windowless dialog's picture: the description, its model and drawn
// items, composed as the dialog composes them; no window.
class CWndLessPicture : public CSectionPicture {
public:
    explicit CWndLessPicture(const PreviewSkin& skin) {
        m_reader.LoadSkin(skin.strSkinFile, skin.strSection, skin.strSection2, skin.strSkinName);
        m_window = ReadWindowModel(m_reader, KvScale::DpiOfPercent(skin.nScalePercent));
        ScaleItems(m_reader.m_arrDynamicItems, m_window.nDpi);
        BuildWndLessItems(m_reader.m_arrDynamicItems, m_window, nullptr);
        m_pBack = LoadSheetBackground(m_window);
    }

    const std::vector<_XmlDynamicItem>& Items() const override {
        return m_reader.m_arrDynamicItems;
    }
    std::vector<ItemLook> LooksOf(size_t nIndex) const override {
        if (!Drawn(nIndex))
            return {};
        return std::vector<ItemLook>(std::begin(kMouseLooks), std::end(kMouseLooks));
    }
    const char* KindOf(size_t nIndex) const override {
        return Drawn(nIndex) ? "windowless button" : "not drawn";
    }
    std::string SetLook(size_t nIndex, const ItemLook& look) override {
        const _XmlDynamicItem& item = Items()[nIndex];
        if (!Drawn(nIndex))
            return "kvskin: item \"" + ToUtf8(item.strID) +
                   "\" is not drawn by the windowless dialog (ControlType " +
                   std::to_string(item.nControlType) + ", not 2)\n";
        if (look.bChecked || look.state == ItemLook::Disabled)
            return "kvskin: item \"" + ToUtf8(item.strID) + "\" is drawn by the windowless " +
                   "dialog, which draws it normal, hot or pressed only\n";
        static const int kStates[] = {KvWndLess::kStateNormal, KvWndLess::kStateHot,
                                      KvWndLess::kStatePressed};
        m_reader.m_arrDynamicItems[nIndex].pControl.get<CWndLessItem>()->SetState(
            kStates[look.state]);
        return std::string();
    }
    CapturePixels::ArgbImage Compose() override {
        const SIZE sheet = m_window.szSheet;
        if (!SheetFitsSection(sheet.cx, sheet.cy))
            return {};
        CKvCanvas canvas(sheet.cx, sheet.cy);
        if (!canvas.IsReady() ||
            !m_sheet.Compose(canvas.DC(), sheet, m_pBack.get(), m_reader.m_arrDynamicItems))
            return {};
        // As UpdateLayeredWindow takes it: premultiplied, with the alpha shown.
        return PictureOf(canvas, true);
    }

private:
    bool Drawn(size_t nIndex) const {
        return Items()[nIndex].pControl.get<CWndLessItem>() != nullptr;
    }

    CKvXMLParseBase m_reader;
    KvWindowModel m_window;
    std::unique_ptr<Gdiplus::Bitmap> m_pBack;
    CWndLessSheet m_sheet;
};

// The base dialog's picture: a hidden dialog with its controls, each put in
// its look through the messages a user's mouse, the keyboard and the host
// send, then drawn by the dialog's own DrawSheet.
class CBaseDialogPicture : public CSectionPicture {
public:
    explicit CBaseDialogPicture(std::unique_ptr<CKvCommonDlg> dlg)
        : m_dlg(std::move(dlg)), m_window(ReadWindowModel(*m_dlg, WindowDpi(m_dlg->m_hWnd))) {}

    const std::vector<_XmlDynamicItem>& Items() const override { return m_dlg->m_arrDynamicItems; }
    std::vector<ItemLook> LooksOf(size_t nIndex) const override {
        const CKvBmpButton* pButton = Button(nIndex);
        if (!pButton)
            return {};
        const bool bToggles = pButton->GetButtonKind() != KvLayout::kKindPush;
        return std::vector<ItemLook>(std::begin(kEveryLook),
                                     std::end(kEveryLook) - (bToggles ? 0 : 4));
    }
    const char* KindOf(size_t nIndex) const override {
        const CKvBmpButton* pButton = Button(nIndex);
        if (!pButton)
            return "no button";
        switch (pButton->GetButtonKind()) {
        case KvLayout::kKindCheck:
            return "check box";
        case KvLayout::kKindRadio:
            return "radio button";
        default:
            return Items()[nIndex].nControlType == 4 ? "shaped button" : "push button";
        }
    }
    std::string SetLook(size_t nIndex, const ItemLook& look) override {
        CKvBmpButton* pButton = Button(nIndex);
        const _XmlDynamicItem& item = Items()[nIndex];
        if (!pButton)
            return "kvskin: item \"" + ToUtf8(item.strID) + "\" is no button (ControlType " +
                   std::to_string(item.nControlType) + ")\n";
        if (look.bChecked && pButton->GetButtonKind() == KvLayout::kKindPush)
            return "kvskin: item \"" + ToUtf8(item.strID) +
                   "\" is a push button, which is never shown checked\n";
        CRect rcClient;
        pButton->GetClientRect(&rcClient);
        const CPoint centre = rcClient.CenterPoint();
        if (look.state == ItemLook::Hot)
            pButton->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
        else
            pButton->SendMessage(WM_MOUSELEAVE);
        pButton->SendMessage(BM_SETSTATE, look.state == ItemLook::Pressed ? TRUE : FALSE);
        pButton->EnableWindow(look.state != ItemLook::Disabled);
        pButton->SendMessage(BM_SETCHECK, look.bChecked ? BST_CHECKED : BST_UNCHECKED);
        return std::string();
    }
    CapturePixels::ArgbImage Compose() override {
        const SIZE sheet = m_window.szSheet;
        if (!SheetFitsSection(sheet.cx, sheet.cy))
            return {};
        CKvCanvas canvas(sheet.cx, sheet.cy);
        if (!canvas.IsReady())
            return {};
        CCanvasDC canvasDC(canvas);
        m_dlg->DrawSheet(&canvasDC);
        // A layered dialog shows the picture's alpha; another is opaque.
        return PictureOf(canvas, m_window.bLayered);
    }

private:
    CKvBmpButton* Button(size_t nIndex) const {
        return DYNAMIC_DOWNCAST(CKvBmpButton, Items()[nIndex].pControl.get<CWnd>());
    }

    std::unique_ptr<CKvCommonDlg> m_dlg;
    KvWindowModel m_window;
};

} // namespace

bool IsBaseDialogSection(const std::vector<_XmlDynamicItem>& items) {
    for (const _XmlDynamicItem& item : items) {
        const ItemKind kind = ItemKindOf(item.nControlType, item.nControlStyle);
        if (kind == ItemKind::CheckBox || kind == ItemKind::RadioButton)
            return true;
    }
    return false;
}

std::unique_ptr<CSectionPicture> MakeSectionPicture(const PreviewSkin& skin,
                                                    std::string& strError) {
    CKvXMLParseBase reader;
    reader.LoadSkin(skin.strSkinFile, skin.strSection, skin.strSection2, skin.strSkinName);
    if (!IsBaseDialogSection(reader.m_arrDynamicItems))
        return std::make_unique<CWndLessPicture>(skin);
    // The base dialog's controls are windows, scaled to the display they are on.
    if (skin.nScalePercent != 100) {
        strError = "kvskin: " + ToUtf8(skin.strSection) +
                   " has check boxes or radio buttons, so the base dialog draws it at the "
                   "display's own scale; --scale draws windowless sections only\n";
        return nullptr;
    }
    ::SetLastError(0);
    std::unique_ptr<CKvCommonDlg> dlg = CreatePreviewDialog(skin);
    if (!dlg) {
        strError = "kvskin: " + ToUtf8(skin.strSection) +
                   " has check boxes or radio buttons, so the base dialog draws it, with its "
                   "controls as windows; that dialog cannot be created (" +
                   WindowFailureText(::GetLastError()) + ")\n";
        return nullptr;
    }
    return std::make_unique<CBaseDialogPicture>(std::move(dlg));
}

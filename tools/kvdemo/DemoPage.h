// The demo's page: the default skin's "CommonWindow\DemoPage" section in a
// container page, whose controls do something visible. The check button
// switches the details text, the radio group picks the swatch picture, two
// buttons show the suite's message box and the last one closes the container.
#pragma once

#include "skin/ContainerDlg.h"
#include "skin/Label.h"

class CDemoPage : public CContainerPage {
public:
    explicit CDemoPage(const CString& strSkinFile);

    // The item's control (any case of its ID), or null.
    CWnd* ItemWindow(LPCWSTR pszID) const;
    // BM_GETCHECK of the item's button, -1 when there is none.
    int CheckOf(LPCWSTR pszID) const;
    // The text the item's label shows, empty when there is none.
    CString LabelText(LPCWSTR pszID) const;
    // The radio whose swatch picture LBL_SWATCH shows, empty before the first.
    const CString& SwatchShown() const { return m_strSwatch; }
    // The result of the last message box, 0 before the first (-1: none could be shown).
    int LastMessageResult() const { return m_nLastMessage; }
    // A window entry's text as the skin gives it.
    CString Entry(LPCWSTR pszKey);

protected:
    BOOL OnInitDialog() override;
    BOOL OnItemCommand(_XmlDynamicItem& item) override;

private:
    // The details label says what the check button's state is.
    void ShowDetails();
    // LBL_SWATCH shows the picture of the radio strRadioID ("Swatch_" + ID).
    void ShowSwatch(const CString& strRadioID);
    void ShowSkinMessage(LPCWSTR pszTextKey, LPCWSTR pszCaptionKey);
    // A page whose skin could not be read says so in plain text.
    void ShowNoSkinNotice();
    CLabel* ItemLabel(LPCWSTR pszID) const;

    CString m_strSkinFile;
    CString m_strSwatch;
    int m_nLastMessage = 0;
    CStatic m_notice;
};

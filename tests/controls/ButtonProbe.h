// Test access to what a bitmap button has composed.
#pragma once

#include "skin/BmpButton.h"

template <class Button> class CButtonProbe : public Button {
public:
    Gdiplus::Bitmap* Cache() const { return this->m_pCache.get(); }
    BOOL IsHovered() const { return this->m_bHover; }
    BOOL IsChecked() const { return this->m_bChecked; }
};

using CPlainProbe = CButtonProbe<CKvBmpButton>;
using CShapedProbe = CButtonProbe<CKvBmpButtonRegin>;

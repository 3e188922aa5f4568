// What the control tests share: a host window on screen that records its
// children's commands, a folder for test images, and access to what a control
// has composed (the cache every paint copies to the screen).
#pragma once

#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"

#include <gtest/gtest.h>

template <class Control> class CProbe : public Control {
public:
    Gdiplus::Bitmap* Cache() const { return this->m_pCache.get(); }
    BOOL IsHovered() const { return this->m_bHover; }
    BOOL IsChecked() const { return this->m_bChecked; }
};

class ControlTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(400, 300)); }
    void TearDown() override { m_host.DestroyWindow(); }

    template <class Control>
    void Create(Control& control, DWORD dwStyle, CRect rc, UINT nID = 300) {
        ASSERT_TRUE(control.Create(L"", WS_CHILD | WS_VISIBLE | dwStyle, rc, &m_host, nID));
    }
    // Frames side by side, frame i filled with colours[i].
    std::wstring Strip(const wchar_t* name, const std::vector<Gdiplus::ARGB>& colours,
                       int frameWidth, int height) {
        return ImageKit::SaveStrip(m_folder, name, colours, frameWidth, height);
    }

    ImageKit::TempFolder m_folder;
    WindowKit::CHostWindow m_host;
};

// The About box: its controls and texts at 96 DPI and after a DPI change, its painting, the three ways
// it is destroyed and made afresh, a second About bringing it to the front, and no GDI object left
// behind by 500 boxes.
#include "app/App.h"
#include "app/frmAbout.h"
#include "controls/ctlUniButtonImageXP.h"
#include "controls/ctlUniLabel.h"

#include "support/Desktop.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"
#include "support/RectCompare.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <string>

namespace {

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

const std::wstring kDescription =
    L"Trelvik is a\r\nnice utility for developers!\r\n\r\n\r\n\r\nCopyright \u00A9 The Trelvik authors";

class AboutBoxTest : public ::testing::Test {
protected:
    frmAbout about;

    void SetUp() override {
        about.ShowAbout();
        ASSERT_TRUE(about.IsCreated());
        if (about.Dpi() != 96) {
            GTEST_SKIP() << "the design numbers are those of 96 DPI; this display has " << about.Dpi();
        }
        PumpPendingMessages();
    }
    // Runs the queued messages as the program's loop does, with the About box's dialog keys.
    void PumpLikeTheProgram() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!App::RouteDialogKeys(msg, {about.hwnd()})) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    void ExpectLayout(int dpi) {
        const auto at = [dpi](int left, int top, int right, int bottom) {
            const auto s = [dpi](int v) { return static_cast<LONG>(std::lrint(v * dpi / 96.0)); };
            return RECT{s(left), s(top), s(right), s(bottom)};
        };
        RECT client{};
        ::GetClientRect(about.hwnd(), &client);
        EXPECT_EQ(client, at(0, 0, 310, 256));
        const struct {
            const char* control;
            HWND window;
            RECT place;
        } table[] = {
            {"lblWhat", about.lblWhat(), at(90, 18, 197, 37)},
            {"lblAbout", about.lblAbout(), at(2, 70, 307, 175)},
            {"btnOk", about.btnOk()->hwnd(), at(100, 220, 207, 249)},
        };
        for (const auto& p : table) {
            EXPECT_EQ(PlaceInParent(p.window), p.place) << p.control << " at " << dpi << " DPI";
        }
        // The version grows from its designed 35 x 13 to its text, staying inside the box.
        const RECT version = PlaceInParent(about.lblVersion());
        const RECT designed = at(244, 44, 279, 57);
        EXPECT_EQ(version.top, designed.top);
        EXPECT_GE(version.bottom, designed.bottom);
        EXPECT_GT(version.right - version.left, designed.right - designed.left);
        EXPECT_LE(version.right, client.right - std::lrint(4 * dpi / 96.0));
        EXPECT_TRUE(version.left == designed.left || version.right == client.right - std::lrint(4 * dpi / 96.0))
            << version;
        // The link label sizes itself to its text, keeping the centre and the top of its box.
        const RECT site = PlaceInParent(about.lblSite()->hwnd());
        const RECT box = at(88, 190, 213, 203);
        EXPECT_EQ(site.top, box.top);
        EXPECT_LE(std::abs((site.left + site.right) - (box.left + box.right)), 1) << site;
    }
};

TEST_F(AboutBoxTest, ShowsItsTextsAndControlsWhereDesigned) {
    EXPECT_EQ(TextOf(about.hwnd()), L"About Trelvik");
    EXPECT_EQ(frmAbout::VersionText(), L"Version 1.1.10") << "version 1.1.0.10: the build number is left out";
    EXPECT_EQ(TextOf(about.lblWhat()), L"Trelvik");
    EXPECT_EQ(TextOf(about.lblVersion()), L"Version 1.1.10");
    EXPECT_EQ(TextOf(about.lblAbout()), kDescription);
    EXPECT_EQ(TextOf(about.lblSite()->hwnd()), L"https://trelvik.org");
    EXPECT_EQ(about.lblSite()->Tip(), L"Go to my site!");
    EXPECT_EQ(TextOf(about.btnOk()->hwnd()), L"Ok");
    EXPECT_TRUE(about.btnOk()->Default());
    EXPECT_TRUE(about.btnOk()->Cancel());
    ASSERT_TRUE(PumpUntil([&] {
        const RECT site = PlaceInParent(about.lblSite()->hwnd());
        return site.right - site.left != 125;
    }));
    ExpectLayout(96);
}

TEST_F(AboutBoxTest, PaintsTheBannerTheRuleAndWhiteLabelsOnTheBanner) {
    DibCanvas form(310, 256, RGB(1, 2, 3));
    ::SendMessageW(about.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(form.dc()), PRF_CLIENT);
    const auto dark = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 400; };
    EXPECT_TRUE(dark(form.pixel(60, 5))) << "the deep blue banner";
    EXPECT_TRUE(dark(form.pixel(300, 30))) << "the banner, cut at the box's right edge";
    EXPECT_EQ(form.pixel(60, 61), RGB(255, 255, 255)) << "white below the banner";
    EXPECT_NE(form.pixel(100, 212), RGB(255, 255, 255)) << "the rule";
    EXPECT_EQ(form.pixel(279, 212), form.pixel(100, 212)) << "the rule's last pixel";
    EXPECT_EQ(form.pixel(280, 212), RGB(255, 255, 255)) << "the rule ends before (280, 212)";
    EXPECT_EQ(form.pixel(100, 213), RGB(255, 255, 255));

    // The version on the banner: white text on the banner's blue, nothing else.
    const RECT place = PlaceInParent(about.lblVersion());
    DibCanvas label(place.right - place.left, place.bottom - place.top, RGB(1, 2, 3));
    ::SendMessageW(about.lblVersion(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(label.dc()), PRF_CLIENT);
    int white = 0;
    int banner = 0;
    for (int y = 0; y < label.height(); ++y) {
        for (int x = 0; x < label.width(); ++x) {
            const COLORREF c = label.pixel(x, y);
            white += c == RGB(255, 255, 255) ? 1 : 0;
            banner += c == form.pixel(place.left + x, place.top + y) ? 1 : 0;
        }
    }
    EXPECT_GT(white, 20) << "the text";
    EXPECT_GT(banner, label.width() * label.height() / 2) << "the banner behind the text";
}

TEST_F(AboutBoxTest, OkEscapeAndTheCloseButtonDestroyItAndTheNextAboutMakesItAfresh) {
    const struct {
        const char* how;
        void (*close)(frmAbout&);
    } ways[] = {
        {"Ok", [](frmAbout& a) { ::SendMessageW(a.btnOk()->hwnd(), BM_CLICK, 0, 0); }},
        {"Escape", [](frmAbout&) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"Enter",
         [](frmAbout& a) {
             ::SetFocus(a.hwnd()); // not on the button: the form's default button takes Enter
             ::PostMessageW(a.hwnd(), WM_KEYDOWN, VK_RETURN, 1);
         }},
        {"its close button", [](frmAbout& a) { ::SendMessageW(a.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        about.ShowAbout();
        ASSERT_TRUE(about.IsCreated());
        ::SetForegroundWindow(about.hwnd());
        ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == about.btnOk()->hwnd(); })) << "Ok has the focus";
        const HWND before = about.hwnd();
        way.close(about);
        for (int i = 0; i < 100 && about.IsCreated(); ++i) {
            PumpLikeTheProgram();
            ::Sleep(1);
        }
        EXPECT_FALSE(about.IsCreated()) << way.how;
        EXPECT_FALSE(::IsWindow(before)) << way.how;
        EXPECT_EQ(about.lblVersion(), nullptr) << way.how;

        about.ShowAbout();
        ASSERT_TRUE(about.IsCreated()) << way.how;
        EXPECT_EQ(TextOf(about.lblVersion()), L"Version 1.1.10") << way.how;
        EXPECT_EQ(TextOf(about.lblAbout()), kDescription) << way.how;
    }
}

// A window of another kind that the user brought to the front.
UniqueWindow OtherWindow() {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrelvikAboutTestOther";
    ::RegisterClassExW(&wc);
    return UniqueWindow(::CreateWindowExW(0, wc.lpszClassName, L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                          700, nullptr, nullptr, wc.hInstance, nullptr));
}

// True when `first` is above `second` in the z-order of top-level windows.
bool Above(HWND first, HWND second) {
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (w == first) {
            return true;
        }
        if (w == second) {
            return false;
        }
    }
    return false;
}

TEST_F(AboutBoxTest, ASecondAboutBringsTheSameBoxToTheFront) {
    const HWND box = about.hwnd();
    const UniqueWindow other = OtherWindow();
    ::SetForegroundWindow(other.get());
    PumpPendingMessages();
    ASSERT_TRUE(Above(other.get(), box));

    about.ShowAbout();
    PumpPendingMessages();
    EXPECT_EQ(about.hwnd(), box) << "the same box";
    EXPECT_TRUE(Above(box, other.get()));
    EXPECT_EQ(::GetForegroundWindow(), box);
}

TEST_F(AboutBoxTest, ADpiChangeLaysTheBoxOutAgain) {
    const auto changeTo = [&](int dpi) {
        RECT frame{};
        ::GetWindowRect(about.hwnd(), &frame);
        RECT client{};
        ::GetClientRect(about.hwnd(), &client);
        RECT suggested{frame.left, frame.top, 0, 0};
        suggested.right = frame.left + (frame.right - frame.left - client.right) + std::lrint(310 * dpi / 96.0);
        suggested.bottom = frame.top + (frame.bottom - frame.top - client.bottom) + std::lrint(256 * dpi / 96.0);
        ::SendMessageW(about.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    };
    const auto siteHeight = [&] {
        const RECT site = PlaceInParent(about.lblSite()->hwnd());
        return site.bottom - site.top;
    };
    changeTo(144);
    EXPECT_EQ(about.Dpi(), 144);
    ASSERT_TRUE(PumpUntil([&] { return siteHeight() > 13; })) << "the link label's font did not grow";
    ExpectLayout(144);
    changeTo(96);
    ASSERT_TRUE(PumpUntil([&] { return siteHeight() == 13; }));
    ExpectLayout(96);
}

// Opens the box, lets it paint and closes it with Ok.
void OpenAndClose(frmAbout& about) {
    about.ShowAbout();
    ASSERT_TRUE(about.IsCreated());
    ::UpdateWindow(about.hwnd());
    ::SendMessageW(about.btnOk()->hwnd(), BM_CLICK, 0, 0);
    PumpPendingMessages(); // the close that Ok posted
    ASSERT_FALSE(about.IsCreated());
}

TEST(AboutBoxLifetime, FiveHundredBoxesLeaveNoGdiOrUserObjectBehind) {
    {
        // A first box makes what lives as long as the process (the window classes, the system's fonts).
        frmAbout first;
        OpenAndClose(first);
    }
    const GuiObjectCounts before = GuiObjectCounts::Now();

    frmAbout about;
    for (int i = 0; i < 500; ++i) {
        OpenAndClose(about);
        if (::testing::Test::HasFatalFailure()) {
            FAIL() << "box " << i;
        }
    }
    const GuiObjectCounts after = GuiObjectCounts::Now();
    EXPECT_EQ(after, before) << "the box's objects go with the box, not with the next one";
    std::cout << "500 About boxes: before " << before << "; after " << after << '\n';
}

} // namespace

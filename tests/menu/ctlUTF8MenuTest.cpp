// The owner-drawn menu's model and attachment on real windows and menus: which items become records
// of which kind, popups converted as they open, everything given back by Detach, the messages it
// answers (and refuses), its stored properties, and the MDI path between a frame and its child.
#include "menu/ctlUTF8Menu.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "core/AppError.h"
#include "menu/MenuFixture.h"
#include "support/DibCanvas.h"
#include "winmsg/MSubclass.h"

using namespace menutest;

namespace {

// A bar item, a popup with every kind of item (two separators sharing identifier 0) and a submenu.
std::vector<ItemSpec> KindsMenu() {
    return {
        {L"Points", 1, 501},
        {L"&File",
         2,
         502,
         {
             {L"Open|H0A\tCtrl+O", 10, 510},
             {nullptr, 0, 511},
             {L"[SEP]General", 11, 512},
             {L"[sep]General", 12, 513},
             {L"Points", 13, 514},
             {nullptr, 0, 515},
             {L"Sub", 14, 516, {{L"Deep", 20, 520}}},
         }},
    };
}

// A form with the kinds menu as its menu bar.
struct MenuBarForm {
    HostWindow host{BuildMenuBar(KindsMenu())};
    HMENU bar() const { return ::GetMenu(host.hwnd()); }
    HMENU file() const { return ::GetSubMenu(bar(), 1); }
};

MEASUREITEMSTRUCT MeasureRequest(ULONG_PTR itemData) {
    MEASUREITEMSTRUCT m{};
    m.CtlType = ODT_MENU;
    m.itemData = itemData;
    return m;
}

} // namespace

TEST(ctlUTF8Menu, AttachConvertsEveryItemIntoARecordOfItsKind) {
    MenuBarForm form;
    ctlUTF8Menu menu;
    menu.Attach(form.host.hwnd());
    ASSERT_EQ(menu.AttachedMenu(), form.bar());

    struct Expected {
        const wchar_t* caption;
        int32_t kind;
        UINT id;
        ULONG_PTR data;
        UINT type;
    };
    // Depth first: each item, then its submenu, then the next item.
    const std::vector<Expected> expected{
        {L"Points", 0, 1, 501, MFT_STRING},
        {L"&File", 0, 2, 502, MFT_STRING},
        {L"Open|H0A\tCtrl+O", 1, 10, 510, MFT_STRING},
        {L"", 2, 0, 511, MFT_SEPARATOR},
        {L"[SEP]General", 3, 11, 512, MFT_STRING},
        {L"[sep]General", 3, 12, 513, MFT_STRING},
        {L"Points", 1, 13, 514, MFT_STRING},
        {L"", 2, 0, 515, MFT_SEPARATOR},
        {L"Sub", 1, 14, 516, MFT_STRING},
        {L"Deep", 1, 20, 520, MFT_STRING},
    };
    ASSERT_EQ(menu.ItemCount(), expected.size());
    EXPECT_EQ(menu.NextRecordNumber(), static_cast<int32_t>(expected.size()));
    const std::vector<std::wstring> keys = menu.ItemKeys();
    const std::vector<ItemSnapshot> items = Snapshot(form.bar());
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].caption);
        const std::wstring key = L"K" + std::to_wstring(i);
        EXPECT_EQ(keys[i], key);
        const clsCtlUniIMenuItem* record = menu.Item(key);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->sText, expected[i].caption);
        EXPECT_EQ(record->dwTypeData, expected[i].caption);
        EXPECT_EQ(record->cch, std::wstring(expected[i].caption).size());
        EXPECT_EQ(record->iType, expected[i].kind);
        EXPECT_EQ(record->lId, static_cast<int32_t>(i));
        EXPECT_EQ(record->wId, expected[i].id);
        EXPECT_EQ(record->dwItemData, expected[i].data);
        EXPECT_EQ(record->fType, expected[i].type);
        EXPECT_EQ(record->hMenu, items[i].menu);
        // The item itself now is owner-drawn and carries its record number.
        EXPECT_EQ(items[i].type, expected[i].type | MFT_OWNERDRAW);
        EXPECT_EQ(items[i].data, i);
        EXPECT_EQ(items[i].id, expected[i].id);
    }
    EXPECT_EQ(menu.Item(L"K10"), nullptr);
    EXPECT_EQ(menu.Item(L"K01"), nullptr);
    menu.Detach();
}

TEST(ctlUTF8Menu, DetachGivesEveryItemBackItsFormAndStopsListening) {
    MenuBarForm form;
    const LONG_PTR procedure = ::GetWindowLongPtrW(form.host.hwnd(), GWLP_WNDPROC);
    const std::vector<ItemSnapshot> before = Snapshot(form.bar());
    // Popups of a window without a menu bar (the tray menu's case) are given back too.
    HostWindow trayHost;
    const UniqueMenu popup = BuildPopup({{L"One", 1, 91}, {nullptr, 0, 92}, {L"Two", 2, 93}, {nullptr, 0, 94}});
    const std::vector<ItemSnapshot> popupBefore = Snapshot(popup.get());

    ctlUTF8Menu menu;
    ctlUTF8Menu trayMenu;
    menu.Attach(form.host.hwnd());
    trayMenu.Attach(trayHost.hwnd());
    ::SendMessageW(trayHost.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.get()), 0);
    ASSERT_NE(Snapshot(form.bar()), before);
    ASSERT_EQ(trayMenu.ItemCount(), 4u);
    ASSERT_NE(Snapshot(popup.get()), popupBefore);

    for (int round = 0; round < 2; ++round) { // the second Detach does nothing
        SCOPED_TRACE(round);
        menu.Detach();
        trayMenu.Detach();
        EXPECT_EQ(Snapshot(form.bar()), before);
        EXPECT_EQ(Snapshot(popup.get()), popupBefore);
        EXPECT_EQ(menu.ItemCount(), 0u);
        EXPECT_EQ(menu.NextRecordNumber(), 0);
        EXPECT_EQ(menu.AttachedMenu(), nullptr);
        EXPECT_TRUE(MSubclass::TableEntries(form.host.hwnd()).empty());
        EXPECT_TRUE(MSubclass::TableEntries(trayHost.hwnd()).empty());
        EXPECT_EQ(::GetWindowLongPtrW(form.host.hwnd(), GWLP_WNDPROC), procedure);
    }
}

TEST(ctlUTF8Menu, AttachingToAnotherWindowLeavesTheFirst) {
    MenuBarForm first;
    MenuBarForm second;
    const std::vector<ItemSnapshot> before = Snapshot(first.bar());
    {
        ctlUTF8Menu menu;
        menu.Attach(first.host.hwnd());
        menu.Attach(second.host.hwnd());
        EXPECT_EQ(Snapshot(first.bar()), before);
        EXPECT_TRUE(MSubclass::TableEntries(first.host.hwnd()).empty());
        EXPECT_FALSE(MSubclass::TableEntries(second.host.hwnd()).empty());
    }
    // The control's end detached it.
    EXPECT_TRUE(MSubclass::TableEntries(second.host.hwnd()).empty());
}

TEST(ctlUTF8Menu, PopupsAreConvertedWhenTheyOpenAndOnlyOnce) {
    HostWindow host;
    const UniqueMenu popup = BuildPopup({{L"One", 1}, {L"Two", 2}, {L"More", 3, 0, {{L"Inner", 4}}}});
    const HMENU inner = ::GetSubMenu(popup.get(), 2);
    const UniqueMenu windowMenu = BuildPopup({{L"Restore", 5}});
    ctlUTF8Menu menu;
    menu.Attach(host.hwnd());
    EXPECT_EQ(menu.ItemCount(), 0u); // no menu bar

    const auto open = [&](HMENU m, WORD windowMenuFlag = 0) {
        return ::SendMessageW(host.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m),
                              MAKELPARAM(0, windowMenuFlag));
    };
    EXPECT_EQ(open(popup.get()), 0);
    EXPECT_EQ(menu.ItemKeys(), (std::vector<std::wstring>{L"K0", L"K1", L"K2"})); // not the submenu's item
    EXPECT_EQ(menu.Item(L"K2")->iType, 1);
    open(popup.get());
    EXPECT_EQ(menu.ItemKeys(), (std::vector<std::wstring>{L"K0", L"K1", L"K2"}));
    // The submenu announces itself when it opens.
    open(inner);
    EXPECT_EQ(menu.ItemKeys(), (std::vector<std::wstring>{L"K0", L"K1", L"K2", L"K3"}));
    // A window menu is left alone.
    open(windowMenu.get(), 1);
    EXPECT_EQ(menu.ItemCount(), 4u);

    // A removed item's record goes at the next opening; an added item gets the next number.
    ::DeleteMenu(popup.get(), 1, MF_BYPOSITION);
    ::AppendMenuW(popup.get(), MF_STRING, 6, L"Six");
    open(popup.get());
    EXPECT_EQ(menu.ItemKeys(), (std::vector<std::wstring>{L"K0", L"K2", L"K3", L"K4"}));
    EXPECT_EQ(menu.Item(L"K4")->wId, 6u);
    menu.Detach();
}

TEST(ctlUTF8Menu, RefreshForgetsRemovedItemsAndConvertsNewOnes) {
    MenuBarForm form;
    ctlUTF8Menu menu;
    menu.Attach(form.host.hwnd());
    ASSERT_EQ(menu.ItemCount(), 10u);
    ::DeleteMenu(form.file(), 0, MF_BYPOSITION); // "Open", K2
    ::AppendMenuW(form.file(), MF_STRING, 30, L"Added");
    menu.Refresh();
    EXPECT_EQ(menu.ItemCount(), 10u);
    EXPECT_EQ(menu.Item(L"K2"), nullptr);
    ASSERT_NE(menu.Item(L"K10"), nullptr);
    EXPECT_EQ(menu.Item(L"K10")->sText, L"Added");
    EXPECT_EQ(menu.Item(L"K10")->iType, 1);
    menu.Detach();
}

TEST(ctlUTF8Menu, ACaptionLongerThanTheBufferIsCutThere) {
    const std::wstring longCaption(300, L'x');
    HostWindow host;
    const UniqueMenu popup = BuildPopup({{longCaption.c_str(), 1}});
    ctlUTF8Menu menu;
    menu.Attach(host.hwnd());
    ::SendMessageW(host.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.get()), 0);
    const clsCtlUniIMenuItem* record = menu.Item(L"K0");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->sText, std::wstring(255, L'x'));
    EXPECT_EQ(record->dwTypeData, record->sText);
    EXPECT_EQ(record->cch, 255u);
    menu.Detach();
    EXPECT_EQ(Snapshot(popup.get()).at(0).caption, longCaption);
}

TEST(ctlUTF8Menu, RequestsForItemDataWithoutARecordReturnZero) {
    MenuBarForm form;
    ctlUTF8Menu menu;
    menu.Attach(form.host.hwnd());
    const HWND w = form.host.hwnd();
    DibCanvas canvas(100, 20, RGB(1, 2, 3));

    struct Case {
        ULONG_PTR itemData;
        LRESULT expected;
    };
    for (const Case& c : {Case{2, 1}, Case{10, 0}, Case{999, 0}, Case{ULONG_PTR{1} << 40, 0}}) {
        SCOPED_TRACE(c.itemData);
        MEASUREITEMSTRUCT measure = MeasureRequest(c.itemData);
        EXPECT_EQ(::SendMessageW(w, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), c.expected);
        EXPECT_EQ(measure.itemHeight != 0, c.expected == 1);
        DRAWITEMSTRUCT draw{ODT_MENU};
        draw.hDC = canvas.dc();
        draw.rcItem = RECT{0, 0, 100, 20};
        draw.itemData = c.itemData;
        canvas.Fill(RGB(1, 2, 3));
        EXPECT_EQ(::SendMessageW(w, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), c.expected);
        EXPECT_EQ(canvas.pixel(50, 0) != RGB(1, 2, 3), c.expected == 1);
    }
    menu.Detach();
}

TEST(ctlUTF8Menu, ItemPictureIsAskedWithTheCaptionPartAndTheNamedPicture) {
    MenuBarForm form;
    auto pictures = std::make_shared<PictureList>();
    for (int i = 0; i < 10; ++i) {
        pictures->Add(std::make_shared<const Picture>(Picture::FromBitmap(::CreateBitmap(16, 16, 1, 32, nullptr))));
    }
    ctlUTF8Menu menu;
    menu.ImageArray(pictures);
    struct Call {
        std::wstring text;
        const Picture* picture;
        int16_t width, height;
        bool transparent, selected;
        UINT dpi;
    };
    std::vector<Call> calls;
    menu.events.ItemPicture = [&](std::wstring& text, const Picture*& picture, int16_t& width, int16_t& height,
                                  bool& transparent, bool selected, UINT dpi) {
        calls.push_back({text, picture, width, height, transparent, selected, dpi});
    };
    menu.Attach(form.host.hwnd());

    DibCanvas canvas(100, 20, RGB(1, 2, 3));
    const auto draw = [&](ULONG_PTR record, UINT state) {
        DRAWITEMSTRUCT d{ODT_MENU};
        d.hDC = canvas.dc();
        d.rcItem = RECT{0, 0, 100, 20};
        d.itemData = record;
        d.itemState = state;
        menu.DrawMenuItem(d, 2);
    };
    MEASUREITEMSTRUCT open = MeasureRequest(2); // "Open|H0A\tCtrl+O"
    menu.MeasureMenuItem(open, 2);
    draw(2, ODS_SELECTED);
    draw(2, ODS_SELECTED | ODS_DISABLED);
    MEASUREITEMSTRUCT separator = MeasureRequest(3);
    menu.MeasureMenuItem(separator, 2); // a plain separator asks nothing
    draw(4, 0);                         // "[SEP]General"

    ASSERT_EQ(calls.size(), 4u);
    const Picture* tenth = pictures->Item(10);
    const UINT dpi = calls[0].dpi;
    EXPECT_GE(dpi, 96u);
    const int16_t icon = static_cast<int16_t>(::MulDiv(16, static_cast<int>(dpi), 96));
    const std::vector<std::tuple<std::wstring, const Picture*, int16_t, bool>> expected{
        {L"Open|H0A", tenth, icon, false},
        {L"Open|H0A", tenth, icon, true},
        {L"Open|H0A", tenth, icon, false}, // selected but disabled
        {L"[SEP]General", nullptr, 0, false},
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].text, std::get<0>(expected[i]));
        EXPECT_EQ(calls[i].picture, std::get<1>(expected[i]));
        EXPECT_EQ(calls[i].width, std::get<2>(expected[i]));
        EXPECT_EQ(calls[i].height, std::get<2>(expected[i]));
        EXPECT_TRUE(calls[i].transparent);
        EXPECT_EQ(calls[i].selected, std::get<3>(expected[i]));
    }
    menu.Detach();
}

TEST(ctlUTF8Menu, StringModeCanBeSetOnlyAtDesignTime) {
    ctlUTF8Menu menu;
    try {
        menu.StringMode(1);
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), 0x80040001u);
        EXPECT_EQ(e.Source(), "StringMode");
        EXPECT_EQ(e.Description(), "This property can be set only a design time!");
    }
    EXPECT_EQ(menu.StringMode(), 2);

    // At design time it can, and Attach does nothing.
    menu.AmbientUserMode(false);
    menu.StringMode(1);
    EXPECT_EQ(menu.StringMode(), 1);
    MenuBarForm form;
    const std::vector<ItemSnapshot> before = Snapshot(form.bar());
    menu.Attach(form.host.hwnd());
    EXPECT_EQ(menu.AttachedWindow(), nullptr);
    EXPECT_EQ(Snapshot(form.bar()), before);
    EXPECT_TRUE(MSubclass::TableEntries(form.host.hwnd()).empty());
}

TEST(ctlUTF8Menu, StoredPropertiesHaveTheirDefaultsAndRoundTrip) {
    PropertyBag defaults;
    ctlUTF8Menu().WriteProperties(defaults);
    using Stored = std::variant<bool, int32_t>;
    const std::vector<std::pair<std::string_view, Stored>> expected{
        {"IconDim", int32_t{16}},
        {"FadeBackground", false},
        {"MenuBackColor", int32_t(0x80000004)},
        {"MenuForeColorNormal", int32_t(0x80000007)},
        {"MenuForeColorDisabled", int32_t(0x80000011)},
        {"SelectorBackColor", int32_t(0x8000000D)},
        {"SelectorForeColor", int32_t(0x8000000E)},
        {"ExtSepBackColor", int32_t(0x80000004)},
        {"ExtSepForeColor", int32_t(0x80000007)},
        {"FadeExtSep", false},
        {"SelectorStyle", int32_t{-1}},
        {"FullSelector", true},
        {"LeftBand", false},
        {"LeftBandBackColor", int32_t(0x80000004)},
        {"FadeLeftBand", false},
        {"Separators3D", true},
        {"LeftBandSeparators", false},
        {"StringMode", int32_t{2}},
        {"RoundSelector", false},
    };
    EXPECT_EQ(defaults.size(), expected.size()); // an empty CustomFontFace is not stored
    for (const auto& [name, value] : expected) {
        SCOPED_TRACE(std::string(name));
        const PropertyBag::Value* stored = defaults.Find(name);
        ASSERT_NE(stored, nullptr);
        if (const bool* b = std::get_if<bool>(&value)) {
            ASSERT_TRUE(std::holds_alternative<bool>(*stored));
            EXPECT_EQ(std::get<bool>(*stored), *b);
        } else {
            ASSERT_TRUE(std::holds_alternative<int32_t>(*stored));
            EXPECT_EQ(std::get<int32_t>(*stored), std::get<int32_t>(value));
        }
    }

    // Captioned separators follow the menu colours read, unless stored themselves.
    const ctlUTF8Menu following(PropertyBag{{"MenuBackColor", int32_t{0x123456}}, {"MenuForeColorNormal", int32_t{7}}});
    EXPECT_EQ(following.ExtSepBackColor(), 0x123456);
    EXPECT_EQ(following.ExtSepForeColor(), 7);

    // The tray menu's values, read and written back.
    const PropertyBag tray{{"SelectorBackColor", int32_t{0x00A78A7F}},
                           {"SelectorForeColor", int32_t{0xFFFFFF}},
                           {"RoundSelector", true},
                           {"CustomFontFace", std::wstring(L"Tahoma")},
                           {"StringMode", int32_t{1}},
                           {"IconDim", int32_t{20}}};
    const ctlUTF8Menu menu(tray);
    EXPECT_EQ(menu.SelectorBackColor(), 0x00A78A7F);
    EXPECT_EQ(menu.StringMode(), 1);
    EXPECT_EQ(menu.IconDim(), 20);
    PropertyBag written;
    menu.WriteProperties(written);
    EXPECT_EQ(written.size(), expected.size() + 1);
    EXPECT_EQ(written.ReadString("CustomFontFace", L""), L"Tahoma");
    EXPECT_EQ(written.ReadLong("SelectorBackColor", 0), 0x00A78A7F);
    EXPECT_TRUE(written.ReadBool("RoundSelector", false));
}

TEST(ctlUTF8Menu, TheMenuFontIsTheSystemsWithTheCustomFaceCutToFit) {
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    MenuBarForm form;
    ctlUTF8Menu menu;
    menu.Attach(form.host.hwnd());
    EXPECT_EQ(std::wstring(menu.MenuFont().lfFaceName), metrics.lfMenuFont.lfFaceName);

    // A settings change reloads it (with the face set since), and the window still answers itself.
    menu.CustomFontFace(std::wstring(40, L'F'));
    EXPECT_EQ(::SendMessageW(form.host.hwnd(), WM_SETTINGCHANGE, 0, 0), 0);
    EXPECT_EQ(std::wstring(menu.MenuFont().lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));
    EXPECT_EQ(menu.MenuFont().lfHeight, metrics.lfMenuFont.lfHeight);
    menu.Detach();
}

// ---- MDI ---------------------------------------------------------------------------------------

namespace {

HWND mdiClient = nullptr;

LRESULT CALLBACK FrameProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefFrameProcW(hWnd, mdiClient, msg, wParam, lParam);
}

} // namespace

TEST(ctlUTF8Menu, OnAnMdiFrameTheFrameControlServesTheChildControl) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW frameClass{sizeof(frameClass)};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = L"TrelvikMenuTestFrame";
    ::RegisterClassExW(&frameClass);
    WNDCLASSEXW childClass{sizeof(childClass)};
    childClass.lpfnWndProc = ::DefMDIChildProcW;
    childClass.hInstance = instance;
    childClass.lpszClassName = L"TrelvikMenuTestChild";
    ::RegisterClassExW(&childClass);

    UniqueMenu firstBar(BuildMenuBar({{L"Frame", 1, 0, {{L"Frame item", 2}}}}));
    const UniqueWindow frame(::CreateWindowExW(0, frameClass.lpszClassName, L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                               300, nullptr, firstBar.get(), instance, nullptr));
    ASSERT_TRUE(frame);
    CLIENTCREATESTRUCT clientInfo{nullptr, 0xFF00};
    mdiClient = ::CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 400, 300,
                                  frame.get(), nullptr, instance, &clientInfo);
    ASSERT_NE(mdiClient, nullptr);
    const HWND child =
        ::CreateMDIWindowW(childClass.lpszClassName, L"child", 0, 0, 0, 200, 150, mdiClient, instance, 0);
    ASSERT_NE(child, nullptr);
    PumpPendingMessages();

    // The child's control first, then the frame's: attaching the frame tells the active child.
    ctlUTF8Menu childMenu;
    childMenu.Attach(child);
    EXPECT_EQ(childMenu.AttachedMenu(), nullptr);
    ctlUTF8Menu frameMenu;
    frameMenu.Attach(frame.get());
    EXPECT_EQ(frameMenu.MdiClientWindow(), mdiClient);
    EXPECT_EQ(childMenu.MdiFrameWindow(), frame.get());
    EXPECT_EQ(frameMenu.ItemCount(), 2u);

    // A new frame menu through the client: the frame's control takes it over.
    const HMENU secondBar = BuildMenuBar({{L"Child", 3, 0, {{L"Child item", 4}}}});
    ::SendMessageW(mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(secondBar), 0);
    EXPECT_EQ(::GetMenu(frame.get()), secondBar); // the client still did its part
    EXPECT_EQ(frameMenu.AttachedMenu(), secondBar);
    EXPECT_EQ(Snapshot(firstBar.get()).at(0).type, static_cast<UINT>(MFT_STRING)); // the old menu given back
    ASSERT_EQ(frameMenu.ItemCount(), 2u);
    EXPECT_EQ(frameMenu.Item(L"K1")->sText, L"Child item");

    // A popup opening on the child is hooked by the frame's control, and the child's requests are
    // answered there.
    const UniqueMenu popup = BuildPopup({{L"Tile", 7}, {L"Cascade", 8}});
    EXPECT_EQ(::SendMessageW(child, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.get()), 0), 0);
    EXPECT_EQ(childMenu.ItemCount(), 0u);
    ASSERT_EQ(frameMenu.ItemKeys(), (std::vector<std::wstring>{L"K0", L"K1", L"K2", L"K3"}));

    MEASUREITEMSTRUCT viaChild = MeasureRequest(3);
    EXPECT_EQ(::SendMessageW(child, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&viaChild)), 1);
    MEASUREITEMSTRUCT direct = MeasureRequest(3);
    frameMenu.MeasureMenuItem(direct, frameMenu.StringMode());
    EXPECT_GT(viaChild.itemWidth, 0u);
    EXPECT_EQ(viaChild.itemWidth, direct.itemWidth);
    EXPECT_EQ(viaChild.itemHeight, direct.itemHeight);

    DibCanvas canvas(120, 20, RGB(1, 2, 3));
    DRAWITEMSTRUCT draw{ODT_MENU};
    draw.hDC = canvas.dc();
    draw.rcItem = RECT{0, 0, 120, 20};
    draw.itemData = 3;
    EXPECT_EQ(::SendMessageW(child, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), 1);
    EXPECT_NE(canvas.pixel(60, 0), RGB(1, 2, 3));

    frameMenu.Detach();
    childMenu.Detach();
    EXPECT_TRUE(MSubclass::TableEntries(mdiClient).empty());
    EXPECT_TRUE(MSubclass::TableEntries(frame.get()).empty());
    EXPECT_TRUE(MSubclass::TableEntries(child).empty());
    mdiClient = nullptr;
}

// ---- A real popup ------------------------------------------------------------------------------

namespace {

// Closes any menu as soon as its loop waits for input (or after a while, should it never wait).
LRESULT CALLBACK ClosingOwnerProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE || msg == WM_TIMER) {
        ::EndMenu();
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

} // namespace

TEST(ctlUTF8Menu, APopupTheSystemShowsIsConvertedMeasuredAndDrawnByTheControl) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = ClosingOwnerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrelvikMenuTestOwner";
    ::RegisterClassExW(&wc);
    const UniqueWindow owner(::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                               nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(owner);
    const UniqueMenu popup = BuildPopup({{L"[SEP]General", 1}, {L"Alpha", 2}, {nullptr, 0}, {L"Beta\tCtrl+B", 3}});
    const std::vector<ItemSnapshot> before = Snapshot(popup.get());

    ctlUTF8Menu menu;
    std::map<std::wstring, int> asked;
    menu.events.ItemPicture = [&](std::wstring& text, const Picture*&, int16_t&, int16_t&, bool&, bool, UINT) {
        ++asked[text];
    };
    menu.Attach(owner.get());
    ::SetTimer(owner.get(), 1, 3000, nullptr);
    ::TrackPopupMenuEx(popup.get(), TPM_RETURNCMD, 100, 100, owner.get(), nullptr);
    ::KillTimer(owner.get(), 1);

    EXPECT_EQ(menu.ItemCount(), 4u);
    // Each item with a caption was measured and drawn at least once, its picture asked each time.
    for (const wchar_t* text : {L"[SEP]General", L"Alpha", L"Beta"}) {
        EXPECT_GE(asked[text], 2) << static_cast<const void*>(text);
    }
    menu.Detach();
    EXPECT_EQ(Snapshot(popup.get()), before);
}

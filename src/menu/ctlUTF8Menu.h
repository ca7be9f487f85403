#pragma once
// The owner-drawn menu: a control that a form carries to give its menus a drawn look and Unicode
// captions. Attached to the form's window, it turns every item of the window's menu bar, and of every
// popup menu the window shows, into an owner-drawn item, keeps one record per converted item with
// what the item was (clsCtlUniIMenuItem), answers the measure and draw requests of those items
// (MenuItemPaint.h) and gives the items back their former form when it is detached.
//
// Captions may carry syntax that the control reads (core/MenuCaption.h): a "[SEP]" prefix (any case)
// makes the item a captioned separator, a "|" suffix names a picture of ImageArray by its 1-based
// position ("Open|3", in hexadecimal "Open|H03"), the text after the last TAB is the shortcut, and
// StringMode says how Unicode text is carried in the caption (1 UTF-8, 2 the "0X" form, anything else
// plain).
//
// The control hears the window's messages through MSubclass (HookBefore): WM_DRAWITEM,
// WM_MEASUREITEM, WM_INITMENUPOPUP, its four private messages (WM_APP + 1 .. 4) and WM_SETTINGCHANGE
// of the attached window, and WM_MDISETMENU of its MDI client when the window is an MDI frame. The
// private messages let the control on an MDI frame serve the controls on its child windows. No
// other message is touched (WM_MENUCHAR stays the window's).
//
// Per-monitor DPI: items are measured and drawn in device pixels of the menu's monitor (the monitor
// under the cursor, where popups open; the window's monitor for menu-bar items; for drawing, the
// monitor of the menu window the DC belongs to). IconDim, the paddings and the check tick scale by
// dpi / 96; the menu font is the system's menu font for that DPI.
//
// Error policy: errors raised while a message is handled are discarded inside the callback (a measure
// or draw request for an item data that names no record returns 0, stopped). Attach and UseMenu pass
// on the errors of MSubclass::HookMessage. Everything runs on the GUI thread.
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/PropertyBag.h"
#include "draw/Picture.h"
#include "util/Handles.h"
#include "menu/MenuItemPaint.h"
#include "menu/PictureList.h"
#include "menu/clsCtlUniIMenuItem.h"
#include "winmsg/ISubclass.h"

struct MenuEvents {
    // Raised once for every measure and every draw of a menu-bar item, popup item or captioned
    // separator: the form may supply the item's picture. On entry
    //   sItemText       the caption up to its last TAB, still with any "[SEP]" prefix, "|" suffix
    //                   and "&" marks;
    //   oItemPic        the ImageArray picture the caption names, or null;
    //   iItemPicWidth,
    //   iItemPicHeight  IconDim at the menu's DPI (0 for captioned separators);
    //   bItemPicTransp  true;
    //   bItemSelected   true only while drawing an item that is selected and not disabled;
    //   dpi             the DPI the item is measured or drawn at (96 at 100 %).
    // The handler may change any by-reference value: the text is then cleaned and decoded, the
    // picture is drawn centred in a box of the returned size (never smaller than IconDim) with its
    // top-left pixel colour transparent when bItemPicTransp. The picture is only borrowed: it must
    // live at least until the handler is asked again. For captioned separators only the text counts.
    // It runs on every repaint of every item: keep it cheap.
    std::function<void(std::wstring& sItemText, const Picture*& oItemPic, int16_t& iItemPicWidth,
                       int16_t& iItemPicHeight, bool& bItemPicTransp, bool bItemSelected, UINT dpi)>
        ItemPicture;
};

class ctlUTF8Menu final : private ISubclass {
public:
    // The private messages between the control on an MDI frame and the controls on its children.
    // WM_APP_MDIFRAME     wParam the frame window: the receiver remembers it, returns 1.
    // WM_APP_REQDATA_MI   wParam StringMode, lParam a MEASUREITEMSTRUCT*: measured in place, returns 1.
    // WM_APP_REQDATA_DI   wParam StringMode, lParam a DRAWITEMSTRUCT*: drawn, returns 1.
    // WM_APP_MDISAVEPOPUP wParam a popup, lParam the WM_INITMENUPOPUP lParam: HookPopup, returns 0.
    static constexpr UINT WM_APP_MDIFRAME = WM_APP + 1;
    static constexpr UINT WM_APP_REQDATA_MI = WM_APP + 2;
    static constexpr UINT WM_APP_REQDATA_DI = WM_APP + 3;
    static constexpr UINT WM_APP_MDISAVEPOPUP = WM_APP + 4;

    // The names of the stored properties, in the order WriteProperties writes them.
    static constexpr std::array<std::string_view, 20> kStoredProperties{
        "IconDim",           "FadeBackground",     "MenuBackColor",   "MenuForeColorNormal", "MenuForeColorDisabled",
        "SelectorBackColor", "SelectorForeColor",  "ExtSepBackColor", "ExtSepForeColor",     "FadeExtSep",
        "SelectorStyle",     "FullSelector",       "LeftBand",        "LeftBandBackColor",   "FadeLeftBand",
        "Separators3D",      "LeftBandSeparators", "StringMode",      "RoundSelector",       "CustomFontFace"};

    // Every property at its default.
    ctlUTF8Menu() noexcept;
    // The properties read from a form's stored values (ReadProperties).
    explicit ctlUTF8Menu(const PropertyBag& properties) noexcept;
    ctlUTF8Menu(const ctlUTF8Menu&) = delete;
    ctlUTF8Menu& operator=(const ctlUTF8Menu&) = delete;
    // Detaches (errors ignored) and lets go of the image list.
    ~ctlUTF8Menu();

    MenuEvents events;

    // Reads every stored property (a missing one takes its default; ExtSepBackColor and
    // ExtSepForeColor default to the MenuBackColor and MenuForeColorNormal just read; one that cannot
    // be read keeps its value), then the menu-bar colour and the host's user mode.
    void ReadProperties(const PropertyBag& properties) noexcept;
    // Writes every stored property in kStoredProperties order; CustomFontFace only when not empty.
    void WriteProperties(PropertyBag& properties) const noexcept;

    // ---- Properties: setting one only stores it; it takes effect at the next measure or draw ----
    [[nodiscard]] int32_t StringMode() const noexcept { return stringMode_; }
    // Only at design time: at run time throws AppError 0x80040001 ("StringMode", "This property can
    // be set only a design time!") and keeps the value.
    void StringMode(int32_t value);
    [[nodiscard]] bool LeftBandSeparators() const noexcept { return look_.LeftBandSeparators; }
    void LeftBandSeparators(bool value) noexcept { look_.LeftBandSeparators = value; }
    [[nodiscard]] bool Separators3D() const noexcept { return look_.Separators3D; }
    void Separators3D(bool value) noexcept { look_.Separators3D = value; }
    [[nodiscard]] bool FadeLeftBand() const noexcept { return look_.FadeLeftBand; }
    void FadeLeftBand(bool value) noexcept { look_.FadeLeftBand = value; }
    [[nodiscard]] bool LeftBand() const noexcept { return look_.LeftBand; }
    void LeftBand(bool value) noexcept { look_.LeftBand = value; }
    [[nodiscard]] bool FullSelector() const noexcept { return look_.FullSelector; }
    void FullSelector(bool value) noexcept { look_.FullSelector = value; }
    // The DrawXPFrame style of the selector; -1 is style 3.
    [[nodiscard]] int32_t SelectorStyle() const noexcept { return look_.SelectorStyle; }
    void SelectorStyle(int32_t value) noexcept { look_.SelectorStyle = value; }
    [[nodiscard]] bool FadeExtSep() const noexcept { return look_.FadeExtSep; }
    void FadeExtSep(bool value) noexcept { look_.FadeExtSep = value; }
    [[nodiscard]] int32_t LeftBandBackColor() const noexcept { return look_.LeftBandBackColor; }
    void LeftBandBackColor(int32_t value) noexcept { look_.LeftBandBackColor = value; }
    [[nodiscard]] int32_t ExtSepBackColor() const noexcept { return look_.ExtSepBackColor; }
    void ExtSepBackColor(int32_t value) noexcept { look_.ExtSepBackColor = value; }
    [[nodiscard]] int32_t ExtSepForeColor() const noexcept { return look_.ExtSepForeColor; }
    void ExtSepForeColor(int32_t value) noexcept { look_.ExtSepForeColor = value; }
    [[nodiscard]] int32_t MenuBackColor() const noexcept { return look_.MenuBackColor; }
    void MenuBackColor(int32_t value) noexcept { look_.MenuBackColor = value; }
    [[nodiscard]] int32_t MenuForeColorNormal() const noexcept { return look_.MenuForeColorNormal; }
    void MenuForeColorNormal(int32_t value) noexcept { look_.MenuForeColorNormal = value; }
    [[nodiscard]] int32_t MenuForeColorDisabled() const noexcept { return look_.MenuForeColorDisabled; }
    void MenuForeColorDisabled(int32_t value) noexcept { look_.MenuForeColorDisabled = value; }
    [[nodiscard]] int32_t SelectorBackColor() const noexcept { return look_.SelectorBackColor; }
    void SelectorBackColor(int32_t value) noexcept { look_.SelectorBackColor = value; }
    [[nodiscard]] int32_t SelectorForeColor() const noexcept { return look_.SelectorForeColor; }
    void SelectorForeColor(int32_t value) noexcept { look_.SelectorForeColor = value; }
    [[nodiscard]] bool FadeBackground() const noexcept { return look_.FadeBackground; }
    void FadeBackground(bool value) noexcept { look_.FadeBackground = value; }
    // The picture size at 96 DPI; also the left band's width less 4.
    [[nodiscard]] int16_t IconDim() const noexcept { return look_.IconDim; }
    void IconDim(int16_t value) noexcept { look_.IconDim = value; }
    [[nodiscard]] bool RoundSelector() const noexcept { return look_.RoundSelector; }
    void RoundSelector(bool value) noexcept { look_.RoundSelector = value; }
    // A face name that replaces the system menu font's face; empty keeps it. A name longer than a
    // LOGFONT holds (31 characters) is cut to fit. Takes effect at the next LoadMenuFont.
    [[nodiscard]] const std::wstring& CustomFontFace() const noexcept { return look_.CustomFontFace; }
    void CustomFontFace(std::wstring_view value) { look_.CustomFontFace = value; }
    // The pictures that captions name by position; shared with the form, not stored.
    [[nodiscard]] const std::shared_ptr<const PictureList>& ImageArray() const noexcept { return imageArray_; }
    void ImageArray(std::shared_ptr<const PictureList> value) noexcept { imageArray_ = std::move(value); }

    // The host's user mode: true at run time (always, in this program); false is design time, when
    // Attach does nothing and StringMode may be set.
    [[nodiscard]] bool AmbientUserMode() const noexcept { return userMode_; }
    void AmbientUserMode(bool value) noexcept { userMode_ = value; }

    // ---- Attachment ----
    // Attaches to the window and its current menu bar (after detaching from any earlier window):
    // finds its MDI client, loads the menu font, UseMenu(GetMenu(hWnd)), and tells the active MDI
    // child (if any) about this frame. Does nothing at design time. Throws what HookMessage throws.
    void Attach(HWND hWnd);
    // Gives every converted item back its type, identifier and item data and stops listening. Safe to
    // call when not attached; a second call does nothing.
    void Detach() noexcept;
    // With a menu attached: PurgeItems, then converts the items added since (HookMenu(menu, 0, false)).
    void Refresh();
    // Detach, then takes menu as the attached menu with a new, empty record list, listens to the
    // window's messages and converts the menu's items (none for a null menu).
    void UseMenu(HMENU menu);
    // Converts the items of menu that are not owner-drawn yet into records (kind: "[SEP]" captions 3,
    // separators 2, others `level`: 0 for the menu bar, 1 in popups); visits submenus unless noRecurse.
    void HookMenu(HMENU menu, int32_t level, bool noRecurse);
    // PurgeItems, then converts the popup's own items (not its submenus: each announces itself).
    void HookPopup(HMENU popup);
    // Forgets the records whose item is gone: no item of the record's menu has its identifier and
    // still carries its record number.
    void PurgeItems() noexcept;
    // Gives every recorded item back its former form and forgets all records; the next record number
    // starts again at 0.
    void RestoreItems() noexcept;
    // Reads the system's menu font for dpi (SPI_GETNONCLIENTMETRICS) into the font record and puts
    // CustomFontFace into it when not empty.
    void LoadMenuFont(UINT dpi);

    // ---- Requests (what the menu messages run; callable directly, e.g. to time them) ----
    // Fills the item's width and height for the record its itemData names, measured with the menu
    // font on dc (null: a DC of the attached window). Throws AppError when itemData names no record.
    void MeasureMenuItem(MEASUREITEMSTRUCT& measure, int32_t stringMode, HDC dc = nullptr);
    // Paints the item its itemData names into draw.hDC at draw.rcItem. Throws AppError when itemData
    // names no record.
    void DrawMenuItem(const DRAWITEMSTRUCT& draw, int32_t stringMode);

    // ---- State, for the form and for tests ----
    [[nodiscard]] HWND AttachedWindow() const noexcept { return hwnd_; }
    [[nodiscard]] HMENU AttachedMenu() const noexcept { return menu_; }
    [[nodiscard]] HWND MdiClientWindow() const noexcept { return mdiClient_; }
    [[nodiscard]] HWND MdiFrameWindow() const noexcept { return mdiFrame_; }
    [[nodiscard]] int32_t NextRecordNumber() const noexcept { return nextRecord_; }
    [[nodiscard]] size_t ItemCount() const noexcept { return items_.size(); }
    // The record keys ("K0", "K1" ...) in record order.
    [[nodiscard]] std::vector<std::wstring> ItemKeys() const;
    // The record under a key, or null.
    [[nodiscard]] const clsCtlUniIMenuItem* Item(std::wstring_view key) const noexcept;
    // "K" followed by the decimal number.
    [[nodiscard]] static std::wstring ItemKey(int32_t number);
    [[nodiscard]] const LOGFONTW& MenuFont() const noexcept { return font_; }
    [[nodiscard]] int32_t MenuBarColor() const noexcept { return look_.MenuBarColor; }
    // The check image for dpi (made on first use, kept until the DPI changes).
    [[nodiscard]] const Picture& picChecked(UINT dpi);

private:
    void WindowProc(bool bBefore, bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
                    LPARAM lParam) noexcept override;
    void OnInitMenuPopup(LRESULT& lReturn, HWND hWnd, WPARAM wParam, LPARAM lParam);
    void OnMdiSetMenu(WPARAM wParam);
    [[nodiscard]] HWND ActiveMdiChild() const noexcept;

    [[nodiscard]] const clsCtlUniIMenuItem& RecordFor(ULONG_PTR itemData, const char* source) const;
    // Asks the form for the picture and cleans and decodes the caption.
    [[nodiscard]] MenuItemContent ResolveContent(const clsCtlUniIMenuItem& record, int32_t stringMode, bool selected,
                                                 UINT dpi);
    // The position of the record's item in its menu, or -1 when it is gone.
    [[nodiscard]] int FindItemPosition(const clsCtlUniIMenuItem& record) const noexcept;
    [[nodiscard]] UINT MeasureDpi(int32_t kind) const noexcept;

    MenuLook look_;
    int32_t stringMode_ = 2;
    std::shared_ptr<const PictureList> imageArray_;
    bool userMode_ = true;

    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    HWND mdiClient_ = nullptr;
    HWND mdiFrame_ = nullptr;
    bool oldPlatform_ = false;
    // The records by number: numbers only grow while a record list lives, so this is record order.
    std::map<int32_t, clsCtlUniIMenuItem> items_;
    int32_t nextRecord_ = 0;

    LOGFONTW font_{};
    UINT fontDpi_ = 0;
    // The menu font made from font_, kept with a memory DC it is selected into, for measuring: making
    // a font and asking for a window's DC for every item would cost more than the measuring.
    UniqueFont measureFont_;
    UniqueMemoryDC measureDc_;
    std::optional<SelectGuard> measureSelection_;
    Picture checkMark_;
    UINT checkMarkDpi_ = 0;
    // The DPI of the monitor under the cursor when the last popup opened: its items are measured
    // for it. Asking for the cursor's monitor costs a round trip to the display server under Wine.
    UINT popupDpi_ = 0;
};

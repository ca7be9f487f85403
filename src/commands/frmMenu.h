#pragma once
// The hidden window that owns the tray menu. The menu's check marks are the program's live options
// (unit, transparency, autostart); its destruction runs the shutdown sequence. The menu is drawn by an
// owner-drawn menu control attached to this window, with a picture on the commands that have one.
#include "commands/MenuHost.h"
#include "draw/Picture.h"
#include "menu/ctlUTF8Menu.h"
#include "ruler/RulerHost.h"
#include "util/Handles.h"
#include "util/SettingsStore.h"
#include "winmsg/WindowBase.h"

#include <array>
#include <string>

// Command identifiers of the tray menu items.
enum class MenuId : UINT {
    mnuShowHideRuler = 100,
    mnuCaptureScreen,
    mnu320x200,
    mnu640x480,
    mnu800x600,
    mnu1024x768,
    mnu1280x1024,
    sep5, // "[SEP]General"
    mnuAutoStart,
    mnuTransparent,
    sep4, // "[SEP]Scale Mode"
    mnuPoints,
    mnuPixels,
    mnuInches,
    mnuCentimeters,
    mnuMillimeters,
    mnuHelp,
    mnuAbout,
    mnuExit,
};

class frmMenu final : public WindowBase, public RulerHost {
public:
    // The class of the hidden window that owns the tray menu.
    static constexpr wchar_t ClassName[] = L"TrelvikMenu";
    frmMenu(MenuHost& host, SettingsStore& settings);
    ~frmMenu() override;

    // Creates the hidden window and the menu tree, then restores the check marks.
    [[nodiscard]] bool Load();
    // Enables each preset size item whose size fits the virtual screen.
    void CheckResMenu();

    [[nodiscard]] bool IsChecked(MenuId id) const noexcept;
    void SetChecked(MenuId id, bool checked) noexcept;
    [[nodiscard]] bool IsEnabled(MenuId id) const noexcept;
    void SetEnabled(MenuId id, bool enabled) noexcept;
    // The popup whose items form the tray menu (the root item "Menu").
    [[nodiscard]] HMENU mnuMenu() const noexcept;
    // The caption of an item as created, for example "Size 800x600 px".
    [[nodiscard]] std::wstring Caption(MenuId id) const;

    // RulerHost
    [[nodiscard]] UnitChecks UnitCheckMarks() const override;
    [[nodiscard]] bool TransparencyChecked() const override;
    // The menu's own (hidden) window owns the popup, so its commands, and later its measuring and
    // drawing requests, come straight here whoever asked for the menu.
    void OpenMenu(POINT screenPosition) override;

    // Runs the command of a menu item, as a click on it does.
    void OnCommand(MenuId id);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void BuildMenuTree();
    void OnDestroy();
    void SelectUnit(MenuId unit);
    // The control asks for an item's picture: the commands with a picture answer theirs, made for the
    // menu's DPI; the others leave the slot as it is.
    void OnItemPicture(const std::wstring& caption, const Picture*& picture, int16_t iconDim) const;

    // The item pictures at 100, 150 and 200 percent, loaded on first use.
    enum class MenuPicture { About, Settings, Exit, Addon, Screen };
    [[nodiscard]] const Picture* PictureFor(MenuPicture which, int16_t iconDim) const;

    MenuHost& host_;
    SettingsStore& settings_;
    UniqueMenu menuBar_; // owns the whole tree; its one item "Menu" holds the popup
    ctlUTF8Menu ctlUTF8Menu1_;
    mutable std::array<std::array<Picture, 3>, 5> pictures_;
};

#pragma once
// The hidden window that owns the tray menu. The menu's check marks are the program's live options
// (unit, transparency, autostart); its destruction runs the shutdown sequence.
#include "commands/MenuHost.h"
#include "ruler/RulerHost.h"
#include "util/Handles.h"
#include "util/SettingsStore.h"
#include "winmsg/WindowBase.h"

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
    frmMenu(MenuHost& host, const SettingsStore& settings);
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

    MenuHost& host_;
    const SettingsStore& settings_;
    UniqueMenu menuBar_; // owns the whole tree; its one item "Menu" holds the popup
};

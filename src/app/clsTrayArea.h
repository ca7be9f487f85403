#pragma once
// The notification-area icons of one window: a thin wrapper of Shell_NotifyIconW that can hold
// several icons. It keeps one record for its whole life; every call changes only the fields it names
// and leaves the rest as the previous call left them (so a balloon goes to the icon of the last add,
// change or delete). Shell failures are reported only through the boolean results. Whatever icons
// are still listed when the object ends are removed from the notification area.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class clsTrayArea {
public:
    // The shell's notification-icon call: the message (NIM_ADD, NIM_MODIFY, NIM_DELETE,
    // NIM_SETVERSION) and the record, of which the shell reads record.cbSize bytes.
    using ShellCall = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& record)>;

    // One entry of IconIds: the identifier and its key, "k" followed by the identifier in decimal.
    struct IconEntry {
        std::wstring key;
        UINT id = 0;
        bool operator==(const IconEntry&) const = default;
    };

    // The running system's shell and version.
    clsTrayArea();
    // Another shell call (tests record the exact records) and a version value packed as GetVersion
    // packs it: major version in the low byte, minor in the next, top bit set on the 9x family.
    clsTrayArea(ShellCall shell, DWORD packedVersion);
    ~clsTrayArea();
    clsTrayArea(const clsTrayArea&) = delete;
    clsTrayArea& operator=(const clsTrayArea&) = delete;

    // Whether a system of that packed version takes the record with the balloon fields and the
    // version call: NT from Windows 2000 on, and Windows Me.
    [[nodiscard]] static bool BalloonsSupported(DWORD packedVersion) noexcept;
    [[nodiscard]] bool HasBalloons() const noexcept { return hasBalloons_; }

    // The window that receives the icons' callback messages.
    void hWnd(HWND window) noexcept;
    // The callback message; WM_MOUSEMOVE (512) unless set. Takes effect with the next AddIcon.
    [[nodiscard]] UINT Message() const noexcept;
    void Message(UINT message) noexcept;

    // Adds an icon with its tip (at most 127 characters, 63 without balloons; longer ones are cut)
    // and, with balloons, then asks for version-3 behaviour. True when the add and the version call
    // both succeed. Whenever the add succeeds, uID is listed (once), since the icon then exists.
    [[nodiscard]] bool AddIcon(UINT uID, std::wstring_view tip, HICON icon);
    [[nodiscard]] bool ChangeIcon(UINT uID, HICON icon);
    [[nodiscard]] bool ChangeTip(UINT uID, std::wstring_view tip);
    // Removes an icon; its entry leaves IconIds only when the shell agrees.
    [[nodiscard]] bool DeleteIcon(UINT uID);
    // Deletes every listed icon, first to last. An entry whose delete fails is dropped anyway, so the
    // list always ends empty.
    void RemoveAllIcons();
    // The identifier most recently listed, or -1 when none is.
    [[nodiscard]] std::int64_t GetLastIconID() const noexcept;
    [[nodiscard]] const std::vector<IconEntry>& IconIds() const noexcept { return iconIds_; }

    // Shows a balloon (text at most 255 characters, title at most 63) at the icon whose identifier
    // the record holds. Without balloon support: false, and the shell is not called.
    [[nodiscard]] bool ShowBalloonTip(std::wstring_view text, std::wstring_view title, DWORD flags, UINT timeoutMs);

private:
    [[nodiscard]] bool Call(DWORD message);
    [[nodiscard]] std::vector<IconEntry>::iterator Find(UINT uID);
    void SetTip(std::wstring_view tip) noexcept;

    ShellCall shell_;
    bool hasBalloons_ = false;
    NOTIFYICONDATAW record_{};
    std::vector<IconEntry> iconIds_;
};

#include "app/clsTrayArea.h"

#include "util/ErrorReport.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

constexpr UINT AddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

BOOL RealShell(DWORD message, const NOTIFYICONDATAW& record) {
    // The shell only reads the record; the const_cast is for the declaration's sake.
    return ::Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&record));
}

// The text-field rule: copy, fill the rest of the field with zeros, and cut a text that does not fit
// so that the last character the shell reads is still a terminator. `usable` is how much of the
// field the shell reads (the version-1 record stops after 64 tip characters).
template <std::size_t N> void SetField(wchar_t (&field)[N], std::wstring_view text, std::size_t usable = N) noexcept {
    const std::size_t count = std::min(text.size(), usable - 1);
    std::fill(std::copy_n(text.data(), count, field), std::end(field), L'\0');
}

} // namespace

clsTrayArea::clsTrayArea() : clsTrayArea(RealShell, ::GetVersion()) {}

clsTrayArea::clsTrayArea(ShellCall shell, DWORD packedVersion)
    : shell_(shell ? std::move(shell) : ShellCall(RealShell)), hasBalloons_(BalloonsSupported(packedVersion)) {
    // Only the Unicode call is made, so the record is always the wide one; its size says which
    // version of it the shell may read.
    record_.cbSize = hasBalloons_ ? NOTIFYICONDATAW_V2_SIZE : NOTIFYICONDATAW_V1_SIZE;
    record_.uFlags = AddFlags;
    record_.uCallbackMessage = WM_MOUSEMOVE;
    if (hasBalloons_) {
        record_.uVersion = NOTIFYICON_VERSION;
    }
}

clsTrayArea::~clsTrayArea() {
    // Icons left in the notification area would outlive their window as dead entries until the
    // user hovers over them.
    try {
        RemoveAllIcons();
    } catch (const std::exception& error) {
        ReportCaughtError(error, "clsTrayArea.~clsTrayArea");
        // Nothing can be done about a shell call that fails at this point.
    }
}

bool clsTrayArea::BalloonsSupported(DWORD packedVersion) noexcept {
    const unsigned major = LOBYTE(LOWORD(packedVersion));
    const unsigned minor = HIBYTE(LOWORD(packedVersion));
    const bool ntFamily = (packedVersion & 0x80000000u) == 0;
    return ntFamily ? major > 4 : (major == 4 && minor == 90);
}

void clsTrayArea::hWnd(HWND window) noexcept {
    record_.hWnd = window;
}

UINT clsTrayArea::Message() const noexcept {
    return record_.uCallbackMessage;
}

void clsTrayArea::Message(UINT message) noexcept {
    record_.uCallbackMessage = message;
}

bool clsTrayArea::AddIcon(UINT uID, std::wstring_view tip, HICON icon) {
    record_.uID = uID;
    record_.hIcon = icon;
    record_.uFlags = AddFlags;
    SetTip(tip);
    if (hasBalloons_) {
        // A balloon since the last add has put its time-out into the field the version shares.
        record_.uVersion = NOTIFYICON_VERSION;
    }
    // A refused add ends here: the version call would succeed for an icon already there under this
    // identifier and report the failed add as success.
    if (!Call(NIM_ADD)) {
        return false;
    }
    // The icon exists from here on, so it is listed whatever the version call says; otherwise
    // RemoveAllIcons would leave it behind. Listed once, even when the shell takes a second add of
    // the same identifier (after it had lost the icon, say).
    if (Find(uID) == iconIds_.end()) {
        iconIds_.push_back({L"k" + std::to_wstring(uID), uID});
    }
    return hasBalloons_ ? Call(NIM_SETVERSION) : true;
}

bool clsTrayArea::ChangeIcon(UINT uID, HICON icon) {
    record_.uID = uID;
    record_.hIcon = icon;
    record_.uFlags = NIF_ICON;
    return Call(NIM_MODIFY);
}

bool clsTrayArea::ChangeTip(UINT uID, std::wstring_view tip) {
    record_.uID = uID;
    record_.uFlags = NIF_TIP;
    SetTip(tip);
    return Call(NIM_MODIFY);
}

bool clsTrayArea::DeleteIcon(UINT uID) {
    record_.uID = uID;
    if (!Call(NIM_DELETE)) {
        return false;
    }
    if (const auto entry = Find(uID); entry != iconIds_.end()) {
        iconIds_.erase(entry);
    }
    return true;
}

void clsTrayArea::RemoveAllIcons() {
    while (!iconIds_.empty()) {
        if (!DeleteIcon(iconIds_.front().id)) {
            // The shell no longer knows it (it restarted, or the icon went with its window): stop
            // asking, or the loop would never end.
            iconIds_.erase(iconIds_.begin());
        }
    }
}

std::int64_t clsTrayArea::GetLastIconID() const noexcept {
    // Wider than the identifier, so that "none" cannot be mistaken for the identifier 0xFFFFFFFF.
    return iconIds_.empty() ? std::int64_t{-1} : std::int64_t{iconIds_.back().id};
}

bool clsTrayArea::ShowBalloonTip(std::wstring_view text, std::wstring_view title, DWORD flags, UINT timeoutMs) {
    if (!hasBalloons_) {
        return false;
    }
    SetField(record_.szInfo, text);
    SetField(record_.szInfoTitle, title);
    record_.uTimeout = timeoutMs;
    record_.dwInfoFlags = flags;
    record_.uFlags = NIF_INFO;
    return Call(NIM_MODIFY);
}

bool clsTrayArea::Call(DWORD message) {
    return shell_(message, record_) != FALSE;
}

std::vector<clsTrayArea::IconEntry>::iterator clsTrayArea::Find(UINT uID) {
    return std::find_if(iconIds_.begin(), iconIds_.end(), [uID](const IconEntry& entry) { return entry.id == uID; });
}

void clsTrayArea::SetTip(std::wstring_view tip) noexcept {
    // The tip as the shell gets it always ends in a terminator within the part of the field it
    // reads: 128 characters with balloons, 64 in the version-1 record.
    SetField(record_.szTip, tip, hasBalloons_ ? std::size(record_.szTip) : 64);
}

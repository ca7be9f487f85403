#include "controls/ctlUniTextBoxXP.h"

#include <windowsx.h>
// imm.h is left out of windows.h by WIN32_LEAN_AND_MEAN.
#include <imm.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "controls/modCtlCommon_ctl.h"
#include "draw/DrawHelpers.h"
#include "draw/XPFrame.h"
#include "sysinfo/WindowsVersion.h"
#include "winmsg/MSubclass.h"
#include "util/ErrorReport.h"

namespace {

struct Hook {
    UINT message;
    int mode;
};

// The surface's messages: heard after the surface's own procedure.
constexpr Hook kSurfaceHooks[] = {
    {WM_SETFOCUS, HookAfter},       {WM_MOUSEACTIVATE, HookAfter},  {WM_CTLCOLOREDIT, HookAfter},
    {WM_CTLCOLORSTATIC, HookAfter}, {WM_SYSCOLORCHANGE, HookAfter}, {WM_COMMAND, HookAfter},
};

// The edit's messages: heard before the edit's own procedure, except WM_GETDLGCODE, whose answer the
// control amends.
constexpr Hook kEditHooks[] = {
    {WM_SETCURSOR, HookBefore},
    {WM_PASTE, HookBefore},
    {WM_CUT, HookBefore},
    {WM_CLEAR, HookBefore},
    {WM_UNDO, HookBefore},
    {WM_IME_CHAR, HookBefore},
    {WM_CHAR, HookBefore},
    {WM_KEYDOWN, HookBefore},
    {WM_KEYUP, HookBefore},
    {WM_IME_STARTCOMPOSITION, HookBefore},
    {WM_IME_ENDCOMPOSITION, HookBefore},
    {WM_IME_COMPOSITION, HookBefore},
    {WM_MOUSEMOVE, HookBefore},
    {WM_LBUTTONDOWN, HookBefore},
    {WM_LBUTTONUP, HookBefore},
    {WM_LBUTTONDBLCLK, HookBefore},
    {WM_RBUTTONDOWN, HookBefore},
    {WM_RBUTTONUP, HookBefore},
    {WM_RBUTTONDBLCLK, HookBefore},
    {WM_MBUTTONDOWN, HookBefore},
    {WM_MBUTTONUP, HookBefore},
    {WM_MBUTTONDBLCLK, HookBefore},
    {WM_MOUSEWHEEL, HookBefore},
    {WM_CONTEXTMENU, HookBefore},
    {WM_GETDLGCODE, HookAfter},
    {WM_DESTROY, HookBefore},
};

// Right-to-left layout and reading order.
constexpr DWORD kRightToLeftStyles = WS_EX_LAYOUTRTL | WS_EX_RTLREADING;

constexpr int16_t kTab = VK_TAB;
constexpr wchar_t kCtrlA = 0x01;
constexpr wchar_t kCtrlC = 0x03;

// Shift 1, Ctrl 2, Alt 4, as the keyboard stood when the message being handled was posted.
int16_t KeyShift() noexcept {
    return static_cast<int16_t>((::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                (::GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

// The system pointers of the MousePointer codes 0 .. 15; nullptr (no pointer) for any other code.
HCURSOR SystemPointer(int16_t code) noexcept {
    static constexpr int kCursors[] = {32512, 32512, 32515, 32513, 32641, 32640, 32643, 32645,
                                       32642, 32644, 32516, 32514, 32648, 32650, 32651, 32646};
    if (code < 0 || code >= static_cast<int16_t>(std::size(kCursors))) {
        return nullptr;
    }
    return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(kCursors[code]));
}

template <typename Handler, typename... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler) {
        handler(args...);
    }
}

bool IsNavigationKey(int16_t keyCode) noexcept {
    return keyCode >= VK_PRIOR && keyCode <= VK_DOWN; // page up/down, end, home, the arrows
}

} // namespace

ctlUniTextBoxXP::ctlUniTextBoxXP() noexcept : UniControl(false) {
    BindOleEvents(events);
}

ctlUniTextBoxXP::~ctlUniTextBoxXP() {
    Teardown();
    Destroy();
}

// ---- Start, edit window, teardown -------------------------------------------------------------------

DWORD ctlUniTextBoxXP::EditStyle() const noexcept {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (alignment_ == 1) {
        style |= ES_RIGHT;
    } else if (alignment_ == 2) {
        style |= ES_CENTER;
    }
    if (multiLine_) {
        style |= ES_MULTILINE | ES_WANTRETURN;
        switch (scrollBars_) {
        case 1:
            style |= WS_HSCROLL | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
            break;
        case 2:
            style |= WS_VSCROLL | ES_AUTOVSCROLL;
            break;
        case 3:
            style |= WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
            break;
        default:
            style |= ES_AUTOVSCROLL;
            break;
        }
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (noHideSel_) {
        style |= ES_NOHIDESEL;
    }
    if (locked_) {
        style |= ES_READONLY;
    }
    if (!Enabled()) {
        style |= WS_DISABLED;
    }
    return style;
}

void ctlUniTextBoxXP::Start() noexcept {
    if (!runMode_ || !hwnd()) {
        return;
    }
    if (!surface_) {
        surface_ = hwnd();
        // The edit inside is a tab stop of the form: dialog navigation looks into the surface.
        const LONG_PTR exStyle = ::GetWindowLongPtrW(surface_, GWL_EXSTYLE);
        ::SetWindowLongPtrW(surface_, GWL_EXSTYLE, exStyle | WS_EX_CONTROLPARENT);
        for (const Hook& hook : kSurfaceHooks) {
            SkipOnError([&] { MSubclass::HookMessage(*this, surface_, hook.message, hook.mode); });
        }
    }
    CreateEdit();
}

void ctlUniTextBoxXP::CreateEdit() noexcept {
    if (!hwnd()) {
        return;
    }
    const bool hadFocus = edit_ && ::GetFocus() == edit_;
    DestroyEdit(); // keeps its text in text_
    brushDirty_ = true;
    brush_.Destroy();
    const int width = std::max(0, SurfaceWidth() - 4);
    const int height = std::max(0, SurfaceHeight() - 4);
    edit_ =
        ::CreateWindowExW(rightToLeft_ ? kRightToLeftStyles : 0, L"EDIT", L"", EditStyle(), 2, 2, width, height, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), ::GetModuleHandleW(nullptr), nullptr);
    if (!edit_) {
        return;
    }
    SkipOnError(
        [&] { ::SendMessageW(edit_, EM_SETPASSWORDCHAR, passwordChar_.empty() ? 0 : passwordChar_.front(), 0); });
    SetEditText(text_);
    ApplyEditFont();
    ::SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    for (const Hook& hook : kEditHooks) {
        SkipOnError([&] { MSubclass::HookMessage(*this, edit_, hook.message, hook.mode); });
    }
    if (hadFocus) {
        ::SetFocus(edit_);
    }
}

void ctlUniTextBoxXP::DestroyEdit() noexcept {
    if (!edit_) {
        return;
    }
    const HWND edit = std::exchange(edit_, nullptr);
    SkipOnError([&] { text_ = WindowText(edit); });
    for (const Hook& hook : kEditHooks) {
        MSubclass::UnhookMessage(*this, edit, hook.message);
    }
    inIME_ = false;
    clickPending_ = false;
    ::DestroyWindow(edit);
}

void ctlUniTextBoxXP::RecreateIfStarted() noexcept {
    if (edit_) {
        CreateEdit();
    }
}

void ctlUniTextBoxXP::Teardown() noexcept {
    DestroyEdit();
    if (surface_) {
        for (const Hook& hook : kSurfaceHooks) {
            MSubclass::UnhookMessage(*this, surface_, hook.message);
        }
        surface_ = nullptr;
    }
    editFont_.reset();
    brush_.Destroy();
}

void ctlUniTextBoxXP::ExternalInitControl() noexcept {
    if (!edit_) {
        Start();
    }
    Relayout();
}

void ctlUniTextBoxXP::Relayout() noexcept {
    if (!hwnd()) {
        return;
    }
    const int width = SurfaceWidth();
    const int height = SurfaceHeight();
    SkipOnError([&] {
        if (UseRoundRegions() && RoundedBorders()) {
            UniqueRegion region(::CreateRoundRectRgn(0, 0, width + 1, height + 1, 2, 2));
            if (region && ::SetWindowRgn(hwnd(), region.get(), TRUE)) {
                (void)region.release(); // the window owns it now
                regionSet_ = true;
            }
        } else if (regionSet_ && ::SetWindowRgn(hwnd(), nullptr, TRUE)) {
            regionSet_ = false;
        }
    });
    if (resizing_) {
        return;
    }
    resizing_ = true;
    if (edit_) {
        ::SetWindowPos(edit_, nullptr, 2, 2, std::max(0, width - 4), std::max(0, height - 4),
                       SWP_NOACTIVATE | SWP_NOZORDER);
    }
    RequestDrawControl();
    resizing_ = false;
}

// ---- Edit helpers -----------------------------------------------------------------------------------

std::wstring ctlUniTextBoxXP::WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    // A little room beyond the reported length: it may count in another unit than it reads.
    std::wstring text(static_cast<size_t>(length) + 5, L'\0');
    const int read = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(0, read)));
    return text;
}

void ctlUniTextBoxXP::SetEditText(std::wstring_view text) noexcept {
    SkipOnError([&] {
        const std::wstring copy(text);
        // The edit's own change notification for this text is not a change by the user: the setter
        // raises Change itself, once.
        settingText_ = true;
        ::SetWindowTextW(edit_, copy.c_str());
        settingText_ = false;
        Announce(copy);
    });
    settingText_ = false;
}

HBRUSH ctlUniTextBoxXP::EditBrush() noexcept {
    // Rebuilt on the first request after a colour change, whichever comes first: the face's paint or
    // the edit's colour request.
    if (brushDirty_ || !brush_.Handle()) {
        brushDirty_ = false;
        SkipOnError([&] { brush_.Handle(CreateColorBrush(backColor_).release()); });
    }
    return static_cast<HBRUSH>(brush_.Handle());
}

void ctlUniTextBoxXP::ApplyEditFont() noexcept {
    if (!edit_) {
        return;
    }
    SkipOnError([&] {
        const StdFont& font = Font();
        int dpi = 96;
        {
            const WindowDC dc(edit_);
            if (dc) {
                dpi = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
            }
        }
        LOGFONTW log{};
        log.lfHeight = -static_cast<LONG>(std::lrint(font.size * dpi / 72.0));
        log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        log.lfItalic = font.italic ? 1 : 0;
        log.lfUnderline = font.underline ? 1 : 0;
        log.lfStrikeOut = font.strikethrough ? 1 : 0;
        log.lfCharSet = DEFAULT_CHARSET;
        font.name.copy(log.lfFaceName, LF_FACESIZE - 1);
        UniqueFont made(::CreateFontIndirectW(&log));
        if (!made) {
            return;
        }
        ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
        editFont_ = std::move(made); // the previous font goes once the edit no longer uses it
    });
}

void ctlUniTextBoxXP::RedrawEdit() const noexcept {
    if (edit_) {
        ::InvalidateRect(edit_, nullptr, TRUE);
    }
}

void ctlUniTextBoxXP::Announce(std::wstring text) noexcept {
    announced_ = std::move(text);
    SurfaceText(announced_);
}

void ctlUniTextBoxXP::RaiseChange() {
    if (raiseChangeEvent_) {
        Raise(events.Change);
    }
}

// ---- Properties -------------------------------------------------------------------------------------

bool ctlUniTextBoxXP::RightToLeft() const noexcept {
    if (edit_) {
        return (::GetWindowLongPtrW(edit_, GWL_EXSTYLE) & kRightToLeftStyles) != 0;
    }
    return rightToLeft_;
}

void ctlUniTextBoxXP::RightToLeft(bool value) {
    const bool current = RightToLeft();
    rightToLeft_ = value;
    MarkPropertyChanged();
    if (value != current) {
        RecreateIfStarted();
    }
}

void ctlUniTextBoxXP::ManualStart(bool value) {
    manualStart_ = value;
    MarkPropertyChanged();
}

void ctlUniTextBoxXP::RaiseChangeEvent(bool value) {
    raiseChangeEvent_ = value;
    MarkPropertyChanged();
}

void ctlUniTextBoxXP::NoHideSel(bool value) {
    if (value == noHideSel_) {
        return;
    }
    noHideSel_ = value;
    MarkPropertyChanged();
    RecreateIfStarted();
}

void ctlUniTextBoxXP::EnableContextMenu(bool value) {
    enableContextMenu_ = value;
    MarkPropertyChanged();
}

void ctlUniTextBoxXP::TrapTabKey(bool value) {
    trapTabKey_ = value;
    MarkPropertyChanged();
}

void ctlUniTextBoxXP::PasswordChar(std::wstring_view value) {
    passwordChar_ = value;
    MarkPropertyChanged();
    if (edit_) {
        SkipOnError(
            [&] { ::SendMessageW(edit_, EM_SETPASSWORDCHAR, passwordChar_.empty() ? 0 : passwordChar_.front(), 0); });
        RedrawEdit();
    } else {
        RequestDrawControl();
    }
}

void ctlUniTextBoxXP::ScrollBars(int32_t value) {
    if (value == scrollBars_) {
        return;
    }
    scrollBars_ = value;
    MarkPropertyChanged();
    RecreateIfStarted();
}

void ctlUniTextBoxXP::Alignment(int32_t value) {
    if (value == alignment_) {
        return;
    }
    alignment_ = value;
    MarkPropertyChanged();
    if (edit_) {
        CreateEdit();
    } else {
        RequestDrawControl();
    }
}

void ctlUniTextBoxXP::MultiLine(bool value) {
    if (value == multiLine_) {
        return;
    }
    multiLine_ = value;
    MarkPropertyChanged();
    RecreateIfStarted();
}

int32_t ctlUniTextBoxXP::MaxLength() const noexcept {
    if (edit_) {
        return static_cast<int32_t>(::SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0));
    }
    return maxLength_;
}

void ctlUniTextBoxXP::MaxLength(int32_t value) {
    maxLength_ = value;
    MarkPropertyChanged();
    if (edit_) {
        ::SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(value), 0);
    }
    if (value > 0) {
        const std::wstring text = Text();
        if (text.size() > static_cast<size_t>(value)) {
            Text(std::wstring_view(text).substr(0, static_cast<size_t>(value)));
        }
    }
}

std::wstring ctlUniTextBoxXP::SelText() const {
    if (!edit_) {
        return {};
    }
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowText(edit_);
    if (start >= end || end > text.size()) {
        return {};
    }
    return text.substr(start, end - start);
}

void ctlUniTextBoxXP::SelText(std::wstring_view value) {
    if (!edit_) {
        return;
    }
    const std::wstring copy(value);
    ::SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(copy.c_str()));
}

int32_t ctlUniTextBoxXP::SelLength() const noexcept {
    if (!edit_) {
        return 0;
    }
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int32_t>(end) - static_cast<int32_t>(start);
}

void ctlUniTextBoxXP::SelLength(int32_t value) {
    if (!edit_) {
        return;
    }
    const int32_t start = SelStart();
    ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + value));
}

int32_t ctlUniTextBoxXP::SelStart() const noexcept {
    if (!edit_) {
        return 0;
    }
    DWORD start = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int32_t>(start);
}

void ctlUniTextBoxXP::SelStart(int32_t value) {
    if (!edit_) {
        return;
    }
    ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(value), static_cast<LPARAM>(value));
    ::SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

std::wstring ctlUniTextBoxXP::Text() const {
    return edit_ ? WindowText(edit_) : text_;
}

void ctlUniTextBoxXP::Text(std::wstring_view value) {
    if (!edit_) {
        text_ = value;
        MarkPropertyChanged();
        Announce(text_);
        RequestDrawControl();
        return;
    }
    if (WindowText(edit_) == value) {
        return;
    }
    SetEditText(value);
    RaiseChange();
}

void ctlUniTextBoxXP::Locked(bool value) {
    locked_ = value;
    MarkPropertyChanged();
    if (edit_) {
        ::SendMessageW(edit_, EM_SETREADONLY, value ? 1 : 0, 0);
    }
}

void ctlUniTextBoxXP::BorderColor(int32_t value) {
    borderColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniTextBoxXP::BackColor(int32_t value) {
    backColor_ = value;
    MarkPropertyChanged();
    brushDirty_ = true;
    RedrawEdit();
    RequestDrawControl();
}

void ctlUniTextBoxXP::ForeColor(int32_t value) {
    foreColor_ = value;
    MarkPropertyChanged();
    if (edit_) {
        RedrawEdit();
    } else {
        RequestDrawControl();
    }
}

int32_t ctlUniTextBoxXP::CurrentLine() const noexcept {
    if (!edit_) {
        return 0;
    }
    return static_cast<int32_t>(::SendMessageW(edit_, EM_LINEFROMCHAR, static_cast<WPARAM>(SelStart()), 0));
}

void ctlUniTextBoxXP::CurrentLine(int32_t value) {
    if (!edit_) {
        return;
    }
    // Line value - 1; -1 asks for the line holding the caret.
    const auto first = static_cast<LRESULT>(::SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(value - 1), 0));
    if (first < 0) {
        return; // no such line
    }
    ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(first), first);
    ::SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void ctlUniTextBoxXP::OnlyBottomBorder(bool value) {
    onlyBottomBorder_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniTextBoxXP::OnFontChanged() {
    if (edit_) {
        ApplyEditFont();
    } else {
        RequestDrawControl();
    }
}

void ctlUniTextBoxXP::OnEnabledChanged() {
    if (edit_) {
        ::EnableWindow(edit_, Enabled() ? TRUE : FALSE);
        RedrawEdit();
    }
    RequestDrawControl();
}

void ctlUniTextBoxXP::ReadProperties(const PropertyBag& p) noexcept {
    DestroyEdit(); // read afresh: the edit is made again from what the set says
    SkipOnError([&] { borderColor_ = p.ReadLong("BorderColor", -1); });
    SkipOnError([&] { backColor_ = p.ReadLong("BackColor", kWindowBackground); });
    SkipOnError([&] { foreColor_ = p.ReadLong("ForeColor", kWindowText); });
    ReadEnabled(p);
    SkipOnError([&] { locked_ = p.ReadBool("Locked", false); });
    SkipOnError([&] { text_ = p.ReadString("Text", L""); });
    ReadFont(p);
    SkipOnError([&] { maxLength_ = p.ReadInteger("MaxLength", 0); });
    SkipOnError([&] { multiLine_ = p.ReadBool("MultiLine", false); });
    SkipOnError([&] { alignment_ = p.ReadLong("Alignment", 0); });
    SkipOnError([&] { scrollBars_ = p.ReadLong("ScrollBars", 0); });
    SkipOnError([&] { passwordChar_ = p.ReadString("PasswordChar", L""); });
    SkipOnError([&] { trapTabKey_ = p.ReadBool("TrapTab", false); });
    SkipOnError([&] { enableContextMenu_ = p.ReadBool("EnableContextMenu", true); });
    SkipOnError([&] { raiseChangeEvent_ = p.ReadBool("RaiseChangeEvent", true); });
    ReadTip(p);
    SkipOnError([&] { noHideSel_ = p.ReadBool("NoHideSel", false); });
    SkipOnError([&] { rightToLeft_ = p.ReadBool("RightToLeft", false); });
    SkipOnError([&] { manualStart_ = p.ReadBool("ManualStart", false); });
    ReadRoundedBorders(p);
    ReadBackColorOut(p);
    ReadUseRoundRegions(p);
    ReadOLEDropMode(p);
    ReadMousePointer(p);
    ReadMouseIcon(p);
    SkipOnError([&] { onlyBottomBorder_ = p.ReadBool("OnlyBottomBorder", false); });
    brushDirty_ = true;
    SkipOnError([&] { Announce(text_); });
    runMode_ = AmbientUserMode();
    if (!manualStart_) {
        Start();
    }
    Relayout();
}

void ctlUniTextBoxXP::WriteProperties(PropertyBag& p) const noexcept {
    SkipOnError([&] { p.WriteLong("BorderColor", borderColor_); });
    SkipOnError([&] { p.WriteLong("BackColor", backColor_); });
    SkipOnError([&] { p.WriteLong("ForeColor", foreColor_); });
    SkipOnError([&] { p.WriteBool("Locked", locked_); });
    SkipOnError([&] { p.WriteString("Text", Text()); });
    SkipOnError([&] { p.WriteLong("MaxLength", maxLength_); });
    SkipOnError([&] { p.WriteBool("MultiLine", multiLine_); });
    SkipOnError([&] { p.WriteLong("Alignment", alignment_); });
    SkipOnError([&] { p.WriteLong("ScrollBars", scrollBars_); });
    SkipOnError([&] { p.WriteProperty("PasswordChar", passwordChar_); }); // plain text, not bytes
    SkipOnError([&] { p.WriteBool("TrapTab", trapTabKey_); });
    SkipOnError([&] { p.WriteBool("EnableContextMenu", enableContextMenu_); });
    SkipOnError([&] { p.WriteBool("RaiseChangeEvent", raiseChangeEvent_); });
    SkipOnError([&] { p.WriteBool("NoHideSel", noHideSel_); });
    SkipOnError([&] { p.WriteBool("RightToLeft", rightToLeft_); });
    SkipOnError([&] { p.WriteBool("ManualStart", manualStart_); });
    SkipOnError([&] { p.WriteBool("OnlyBottomBorder", onlyBottomBorder_); });
    WriteShared(p);
}

// ---- Drawing ----------------------------------------------------------------------------------------

void ctlUniTextBoxXP::RequestDrawControl() noexcept {
    if (!hwnd()) {
        return;
    }
    if (!edit_ || !AmbientUserMode() || PersistentImage()) {
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else {
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void ctlUniTextBoxXP::DrawControl(HDC dc) noexcept {
    if (Drawing() || !dc || !hwnd()) {
        return;
    }
    const DrawingScope drawing(*this);
    RECT r{0, 0, SurfaceWidth(), SurfaceHeight()};
    if (edit_) {
        (void)EditBrush();
    }
    SkipOnError([&] {
        DrawTextBoxFrame(dc, r, backColor_, borderColor_, RoundedBorders(), BackColorOut(), onlyBottomBorder_);
    });
    if (edit_) {
        return; // the edit paints the inside
    }
    ::InflateRect(&r, -2, -2);
    SkipOnError([&] { FillOrFrameRect(dc, r, backColor_, true); });
    SkipOnError([&] {
        const int saved = ::SaveDC(dc);
        {
            clsFontHDC font;
            font.SetFontToDCStdFont(dc, Font());
            ::SetBkMode(dc, TRANSPARENT);
            UINT flags = DT_NOPREFIX;
            if (alignment_ == 2) {
                flags |= DT_CENTER;
            } else if (alignment_ == 1) {
                flags |= DT_RIGHT;
            }
            DrawColoredText(dc, passwordChar_.empty() ? std::wstring_view(text_) : std::wstring_view(L"***"), r,
                            Enabled() ? foreColor_ : kGrayText, flags);
        }
        if (saved) {
            ::RestoreDC(dc, saved);
        }
    });
}

// ---- Messages ---------------------------------------------------------------------------------------

void ctlUniTextBoxXP::WindowProc(bool, bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
                                 LPARAM lParam) noexcept {
    try {
        if (hWnd == surface_) {
            bStopMsg = OnSurfaceMessage(lReturn, uMsg, wParam, lParam);
        } else if (hWnd == edit_) {
            bStopMsg = OnEditMessage(lReturn, uMsg, wParam, lParam);
        }
    } catch (const std::exception& error) {
        ReportCaughtError(error, "ctlUniTextBoxXP.WindowProc");
        // An event handler failed: the message goes on as if it had not been heard.
    }
}

bool ctlUniTextBoxXP::OnSurfaceMessage(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFOCUS:
        if (edit_) {
            ::SetFocus(edit_);
        }
        break;
    case WM_SYSCOLORCHANGE:
        brushDirty_ = true;
        RedrawEdit();
        break;
    case WM_MOUSEACTIVATE: {
        const HWND focus = ::GetFocus();
        if (focus && focus != edit_ && focus != surface_ && ::IsChild(surface_, focus)) {
            ::SetFocus(surface_);
        }
        break;
    }
    case WM_COMMAND:
        if (edit_ && reinterpret_cast<HWND>(lParam) == edit_ && HIWORD(wParam) == EN_CHANGE && !settingText_) {
            // Some edits notify a refused character (at the limit) too: only a new text is a change.
            std::wstring text = WindowText(edit_);
            if (text != announced_) {
                Announce(std::move(text));
                RaiseChange();
            }
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (edit_ && reinterpret_cast<HWND>(lParam) == edit_) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetBkColor(dc, static_cast<COLORREF>(TranslateColor(backColor_)));
            ::SetTextColor(dc, static_cast<COLORREF>(TranslateColor(Enabled() ? foreColor_ : kGrayText)));
            if (const HBRUSH brush = EditBrush()) {
                lReturn = reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    default:
        break;
    }
    return false;
}

bool ctlUniTextBoxXP::OnEditMessage(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETCURSOR:
        if (OnSetCursor(lParam)) {
            lReturn = TRUE;
            return true;
        }
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
        return OnKey(lReturn, msg, wParam, lParam);
    case WM_CHAR:
    case WM_IME_CHAR:
        return OnChar(lReturn, msg, wParam, lParam);
    case WM_IME_STARTCOMPOSITION:
        inIME_ = true;
        return false;
    case WM_IME_ENDCOMPOSITION:
        inIME_ = false;
        return false;
    case WM_IME_COMPOSITION:
        return OnImeComposition(lParam);
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        return locked_;
    case WM_CONTEXTMENU:
        return !enableContextMenu_;
    case WM_GETDLGCODE:
        lReturn = DialogCode(lReturn, lParam);
        return false;
    case WM_DESTROY:
        // Destroyed with the form: keep the text readable.
        text_ = WindowText(edit_);
        edit_ = nullptr;
        inIME_ = false;
        return false;
    default:
        return OnMouse(msg, wParam, lParam);
    }
}

bool ctlUniTextBoxXP::OnKey(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND edit = edit_;
    const bool down = msg == WM_KEYDOWN;
    int16_t keyCode = static_cast<int16_t>(LOWORD(wParam));
    int16_t shift = KeyShift();
    if (keyCode == kTab) {
        if (!trapTabKey_) {
            if (down) {
                // What a dialog-navigating message loop would have done before the key got here.
                MoveFocusOn((shift & 1) != 0);
                return true;
            }
        } else {
            if (!inIME_) {
                Raise(down ? events.KeyDown : events.KeyUp, keyCode, shift);
            }
            return true; // Tab stays here and never reaches the edit
        }
    }
    if (!inIME_) {
        Raise(down ? events.KeyDown : events.KeyUp, keyCode, shift);
        if (edit_ != edit) {
            return true; // the handler replaced or removed the edit
        }
    }
    if (keyCode == 0) {
        return true;
    }
    if (locked_) {
        // The caret and the selection still move, and Ctrl+Insert copies; nothing changes the text.
        const bool copy = down && keyCode == VK_INSERT && shift == 2;
        return !(IsNavigationKey(keyCode) || copy);
    }
    const WPARAM key = (wParam & ~static_cast<WPARAM>(0xFFFF)) | static_cast<uint16_t>(keyCode);
    lReturn = MSubclass::CallPreviousProc(edit, msg, key, lParam);
    return true;
}

bool ctlUniTextBoxXP::OnChar(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND edit = edit_;
    if (msg == WM_IME_CHAR && wParam == 0xFFFF) {
        lReturn = 1;
        return true;
    }
    if (wParam == VK_TAB) {
        return true; // never a tab character
    }
    int16_t keyAscii = static_cast<int16_t>(static_cast<uint16_t>(wParam));
    if (!inIME_) {
        int16_t shift = KeyShift();
        Raise(events.KeyPress, keyAscii, shift);
        if (edit_ != edit) {
            return true;
        }
    }
    const auto code = static_cast<wchar_t>(static_cast<uint16_t>(keyAscii));
    if (code == 0) {
        return true;
    }
    if (code == kCtrlA) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        return true;
    }
    if (code == kCtrlC) {
        if (passwordChar_.empty()) { // a masked text is not given away
            ::SendMessageW(edit, WM_COPY, 0, 0);
        }
        return true;
    }
    if (locked_) {
        return true;
    }
    // An input-method character goes to the edit as the character itself: passed on as it came, the
    // default handling would post it back as WM_CHAR and raise KeyPress a second time.
    lReturn = MSubclass::CallPreviousProc(edit, WM_CHAR, static_cast<WPARAM>(code), lParam);
    return true;
}

bool ctlUniTextBoxXP::OnImeComposition(LPARAM lParam) {
    if (!(lParam & GCS_RESULTSTR) || WindowsVersion() < 8) {
        return false;
    }
    const HWND edit = edit_;
    std::wstring result;
    if (const HIMC context = ::ImmGetContext(edit)) {
        const LONG bytes = ::ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
        if (bytes > 0) {
            result.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
            const LONG read = ::ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(),
                                                         static_cast<DWORD>(result.size() * sizeof(wchar_t)));
            result.resize(static_cast<size_t>(std::max<LONG>(0, read)) / sizeof(wchar_t));
        }
        ::ImmReleaseContext(edit, context);
    }
    Raise(events.IMEComposition, result);
    std::wstring kept;
    for (const wchar_t c : result) {
        int16_t keyAscii = static_cast<int16_t>(static_cast<uint16_t>(c));
        int16_t shift = KeyShift();
        Raise(events.KeyPress, keyAscii, shift);
        if (keyAscii != 0) {
            kept.push_back(static_cast<wchar_t>(static_cast<uint16_t>(keyAscii)));
        }
    }
    // A locked box takes no typing, from the input method neither.
    if (!locked_ && edit_ == edit && !kept.empty()) {
        SelText(kept);
    }
    return true;
}

bool ctlUniTextBoxXP::OnMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND edit = edit_;
    // Handled: the edit must not see the message, also when a handler replaced or removed it.
    const bool handled = MouseEvents(msg, wParam, lParam);
    return handled || edit_ != edit;
}

bool ctlUniTextBoxXP::MouseEvents(UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto keys = static_cast<DWORD>(GET_KEYSTATE_WPARAM(wParam));
    int16_t shift = ShiftOf(keys);
    float x = static_cast<float>(GET_X_LPARAM(lParam));
    float y = static_cast<float>(GET_Y_LPARAM(lParam));
    int16_t button = MouseButtonOfMessage(msg, keys);
    switch (msg) {
    case WM_MOUSEMOVE:
        if (AmbientUserMode()) {
            ShowTip(Tip(), 300);
        }
        Raise(events.MouseMove, button, shift, x, y);
        return false;
    case WM_MOUSEWHEEL: {
        bool down = GET_WHEEL_DELTA_WPARAM(wParam) < 0;
        Raise(events.MouseWheel, button, shift, x, y, down);
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        clickPending_ = true;
        Raise(events.MouseDown, button, shift, x, y);
        return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        int16_t released = button;
        Raise(events.MouseUp, released, shift, x, y);
        if (std::exchange(clickPending_, false)) {
            Raise(events.Click, button);
        }
        // The edit opens its context menu from the right button's release.
        return msg == WM_RBUTTONUP && !enableContextMenu_;
    }
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        Raise(events.DblClick, button);
        return false;
    default:
        return false;
    }
}

bool ctlUniTextBoxXP::OnSetCursor(LPARAM lParam) const noexcept {
    if (MousePointer() == 0 || LOWORD(lParam) != HTCLIENT) {
        return false;
    }
    HCURSOR cursor = nullptr;
    if (MousePointer() == kCustomPointer) {
        cursor = MouseIcon() && MouseIcon()->icon() ? MouseIcon()->icon() : ::LoadCursorW(nullptr, IDC_ARROW);
    } else {
        cursor = SystemPointer(MousePointer());
    }
    ::SetCursor(cursor);
    return true;
}

LRESULT ctlUniTextBoxXP::DialogCode(LRESULT editCode, LPARAM lParam) const noexcept {
    LRESULT code = editCode | DLGC_WANTARROWS;
    if (trapTabKey_) {
        return code | DLGC_WANTTAB;
    }
    code &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    // A multi-line edit wants every key; Tab it leaves to the dialog navigation.
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) && message->wParam == VK_TAB) {
        code &= ~static_cast<LRESULT>(DLGC_WANTMESSAGE);
    }
    return code;
}

void ctlUniTextBoxXP::MoveFocusOn(bool backwards) const noexcept {
    if (!edit_ || !surface_) {
        return;
    }
    // The form: the nearest ancestor that is not itself a control container inside another window.
    HWND form = ::GetParent(surface_);
    while (form && (::GetWindowLongPtrW(form, GWL_STYLE) & WS_CHILD) &&
           (::GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && ::GetParent(form)) {
        form = ::GetParent(form);
    }
    if (!form) {
        return;
    }
    const HWND next = ::GetNextDlgTabItem(form, edit_, backwards ? TRUE : FALSE);
    if (next && next != edit_) {
        ::SetFocus(next);
    }
}

#pragma once
// The Unicode text box: a native wide-character EDIT window two pixels inside the control's surface,
// with the text box frame (DrawTextBoxFrame) painted in the ring around it. The control listens to
// the edit's and the surface's messages (MSubclass) to raise its events, colour the edit with its
// BackColor/ForeColor, enforce Locked, suppress the context menu and set the mouse pointer.
//
// Life cycle: Create(parent, rect, properties) reads the properties and, in run mode and unless
// ManualStart, starts the control, which creates the edit. Before it is started (ManualStart until
// ExternalInitControl, or design mode) there is no edit: the surface paints the frame, the back
// colour and the stored text itself. Changing RightToLeft, NoHideSel, ScrollBars, Alignment or
// MultiLine while started creates the edit afresh with the new styles, keeping its text (hWnd()
// changes then).
//
// Keyboard: the edit answers WM_GETDLGCODE so that a dialog-navigating message loop (IsDialogMessage)
// leaves the arrow, page, home and end keys in the box and Tab too when TrapTabKey is on; without
// TrapTabKey, Tab moves the focus to the next tab stop of the form (also where the loop does no
// dialog navigation). Tab never inserts a tab character. Ctrl+A selects the whole text and Ctrl+C
// (or Ctrl+Insert) copies the selection, also while Locked; Locked rejects every change by the user
// (typing, input-method results, paste, cut, clear, undo) but keeps the caret and the selection
// moving.
//
// The surface's window text is the box's text, for accessibility tools that read the control's own
// window; they find the edit inside it as well.
//
// Error policy as UniControl: property loading, drawing, repaint requests and teardown skip a failing
// step; no exception leaves a message handler; event handlers' exceptions are dropped there.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "controls/UniControl.h"
#include "draw/clsGdiHandle.h"
#include "util/Handles.h"
#include "winmsg/ISubclass.h"

// The text box's events, in declaration order. keyCode is the virtual key, keyAscii the UTF-16 code of
// the character; setting either to 0 in the handler drops the key, changing it passes the new one on.
// button is 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt (added up); x and y are pixels of
// the edit's client area (of the screen for MouseWheel).
struct TextBoxEvents : OleEvents {
    std::function<void()> Change;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyDown;
    std::function<void(int16_t& keyAscii, int16_t& shift)> KeyPress;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyUp;
    std::function<void(int16_t& button)> Click;
    std::function<void(int16_t& button)> DblClick;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseDown;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseMove;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseUp;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y, bool& down)> MouseWheel;
    // The result string of an input-method composition, before its characters are typed.
    std::function<void(std::wstring& ime)> IMEComposition;
};

class ctlUniTextBoxXP : public UniControl, private ISubclass {
public:
    static constexpr int32_t kWindowBackground = static_cast<int32_t>(0x80000005);
    static constexpr int32_t kWindowText = static_cast<int32_t>(0x80000008);
    // The edit's window id (the low word of its WM_COMMAND notifications).
    static constexpr int kEditId = 1;

    ctlUniTextBoxXP() noexcept;
    ~ctlUniTextBoxXP() override;

    TextBoxEvents events;

    // ---- Properties, in the order of the interface ----
    // Right-to-left layout and reading; read from the edit while it exists.
    [[nodiscard]] bool RightToLeft() const noexcept;
    void RightToLeft(bool value);
    // RoundedBorders (UniControl): the frame's corners are rounded.
    // When on, loading the properties does not start the control: ExternalInitControl does.
    [[nodiscard]] bool ManualStart() const noexcept { return manualStart_; }
    void ManualStart(bool value);
    // True while the edit exists.
    [[nodiscard]] bool IsStarted() const noexcept { return edit_ != nullptr; }
    // Change is raised only while this is on.
    [[nodiscard]] bool RaiseChangeEvent() const noexcept { return raiseChangeEvent_; }
    void RaiseChangeEvent(bool value);
    // The selection stays visible while the box has no focus.
    [[nodiscard]] bool NoHideSel() const noexcept { return noHideSel_; }
    void NoHideSel(bool value);
    // Off: the edit's own context menu is not shown (right click, Shift+F10, the menu key).
    [[nodiscard]] bool EnableContextMenu() const noexcept { return enableContextMenu_; }
    void EnableContextMenu(bool value);
    // On: Tab stays in the box and raises KeyDown/KeyUp. Off: Tab moves the focus on.
    [[nodiscard]] bool TrapTabKey() const noexcept { return trapTabKey_; }
    void TrapTabKey(bool value);
    // Its first character masks the text; empty shows the text.
    [[nodiscard]] const std::wstring& PasswordChar() const noexcept { return passwordChar_; }
    void PasswordChar(std::wstring_view value);
    // 0 none, 1 horizontal, 2 vertical, 3 both (multi-line boxes only).
    [[nodiscard]] int32_t ScrollBars() const noexcept { return scrollBars_; }
    void ScrollBars(int32_t value);
    // 0 left, 1 right, 2 centre.
    [[nodiscard]] int32_t Alignment() const noexcept { return alignment_; }
    void Alignment(int32_t value);
    [[nodiscard]] bool MultiLine() const noexcept { return multiLine_; }
    void MultiLine(bool value);
    // The character limit (0: the edit's default); read back from the edit while it exists. A limit
    // n > 0 below the text's length cuts the text to its first n characters.
    [[nodiscard]] int32_t MaxLength() const noexcept;
    void MaxLength(int32_t value);
    // The selected characters; setting replaces the selection (undoable).
    [[nodiscard]] std::wstring SelText() const;
    void SelText(std::wstring_view value);
    // Selection end - start; setting keeps the start.
    [[nodiscard]] int32_t SelLength() const noexcept;
    void SelLength(int32_t value);
    // The selection start; setting puts the caret there with an empty selection, scrolled into view.
    [[nodiscard]] int32_t SelStart() const noexcept;
    void SelStart(int32_t value);
    // Font (UniControl): given to the edit while it exists.
    // The text: the edit's while it exists, else the stored one. Setting a different text raises
    // Change once (when RaiseChangeEvent); setting the same text raises nothing.
    [[nodiscard]] std::wstring Text() const;
    void Text(std::wstring_view value);
    // Read-only for the user (see the keyboard rules above).
    [[nodiscard]] bool Locked() const noexcept { return locked_; }
    void Locked(bool value);
    // Enabled (UniControl): a disabled box draws its text in grey.
    // The frame colour; -1 automatic.
    [[nodiscard]] int32_t BorderColor() const noexcept { return borderColor_; }
    void BorderColor(int32_t value);
    // Background of the edit and the face (system colour codes allowed).
    [[nodiscard]] int32_t BackColor() const noexcept { return backColor_; }
    void BackColor(int32_t value);
    // Text colour while enabled.
    [[nodiscard]] int32_t ForeColor() const noexcept { return foreColor_; }
    void ForeColor(int32_t value);
    // Starts the control (when it is not started) and lays it out.
    void ExternalInitControl() noexcept;
    // The edit window (nullptr when not started). The surface is hwnd().
    [[nodiscard]] HWND hWnd() const noexcept { return edit_; }
    // Tip (UniControl): shown while the mouse moves over the edit.
    // The 0-based line of SelStart. Setting n puts the caret at the start of line n - 1 (so setting
    // the value just read moves to the line above, or stays on the first line). 0 when not started.
    [[nodiscard]] int32_t CurrentLine() const noexcept;
    void CurrentLine(int32_t value);
    // BackColorOut, UseRoundRegions (which lays the box out again), OLEDropMode, OLEDrag, MousePointer
    // and MouseIcon (both also over the edit), ApplyFontChanges: UniControl.
    // True between an input-method composition's start and end.
    [[nodiscard]] bool IsInIME() const noexcept { return inIME_; }
    // The frame is reduced to a bottom line.
    [[nodiscard]] bool OnlyBottomBorder() const noexcept { return onlyBottomBorder_; }
    void OnlyBottomBorder(bool value);

    // Repaints the surface.
    void Refresh() { RequestDrawControl(); }

    // Paints the face into dc: with the edit, the frame only (the edit paints its own text); without
    // it, the frame, the back colour and the stored text ("***" with a password character). Does
    // nothing while a drawing is in progress; a failing step is skipped.
    void DrawControl(HDC dc) noexcept;
    // Paints at once without the edit (and in design mode), otherwise invalidates the surface.
    void RequestDrawControl() noexcept override;

    void ReadProperties(const PropertyBag& properties) noexcept override;
    void WriteProperties(PropertyBag& properties) const noexcept override;

private:
    void Paint(HDC dc) noexcept override { DrawControl(dc); }
    void OnFontChanged() override;
    void OnEnabledChanged() override;
    void OnUseRoundRegionsChanged() override { Relayout(); }
    void SurfaceResized() override { Relayout(); }

    void WindowProc(bool bBefore, bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
                    LPARAM lParam) noexcept override;
    // Both return true when the message is handled (the window's own procedure does not see it).
    [[nodiscard]] bool OnSurfaceMessage(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool OnEditMessage(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool OnKey(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool OnChar(LRESULT& lReturn, UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool OnImeComposition(LPARAM lParam);
    [[nodiscard]] bool OnMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool MouseEvents(UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool OnSetCursor(LPARAM lParam) const noexcept;
    [[nodiscard]] LRESULT DialogCode(LRESULT editCode, LPARAM lParam) const noexcept;
    void MoveFocusOn(bool backwards) const noexcept;

    // The edit's window styles from the properties.
    [[nodiscard]] DWORD EditStyle() const noexcept;
    // Hooks the surface (once) and creates the edit. Run mode only.
    void Start() noexcept;
    // (Re)creates the edit with the current styles and text.
    void CreateEdit() noexcept;
    void DestroyEdit() noexcept;
    void RecreateIfStarted() noexcept;
    void Teardown() noexcept;
    // The window region and the edit's place; then a repaint.
    void Relayout() noexcept;
    // The brush of BackColor for the edit, made afresh when the colour changed.
    [[nodiscard]] HBRUSH EditBrush() noexcept;
    // The edit's font from Font.
    void ApplyEditFont() noexcept;
    void RedrawEdit() const noexcept;
    [[nodiscard]] static std::wstring WindowText(HWND window);
    // Sets the edit's text without raising Change from its notification.
    void SetEditText(std::wstring_view text) noexcept;
    // Records the text as the current one and makes it the surface's window text.
    void Announce(std::wstring text) noexcept;
    void RaiseChange();

    HWND edit_ = nullptr;
    HWND surface_ = nullptr; // the surface as hooked (kept to unhook it, also once it is gone)
    bool runMode_ = true;
    bool resizing_ = false;
    bool settingText_ = false;
    bool brushDirty_ = true;
    clsGdiHandle brush_;
    UniqueFont editFont_;
    bool regionSet_ = false;
    bool inIME_ = false;
    bool clickPending_ = false;
    std::wstring text_;      // the stored text, used while there is no edit
    std::wstring announced_; // the text as last set or changed, also the surface's window text

    bool rightToLeft_ = false;
    bool manualStart_ = false;
    bool raiseChangeEvent_ = true;
    bool noHideSel_ = false;
    bool enableContextMenu_ = true;
    bool trapTabKey_ = false;
    std::wstring passwordChar_;
    int32_t scrollBars_ = 0;
    int32_t alignment_ = 0;
    bool multiLine_ = false;
    int32_t maxLength_ = 0;
    bool locked_ = false;
    int32_t borderColor_ = -1;
    int32_t backColor_ = kWindowBackground;
    int32_t foreColor_ = kWindowText;
    bool onlyBottomBorder_ = false;
};

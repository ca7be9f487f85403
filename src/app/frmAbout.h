#pragma once
// The About box: a small fixed window titled "About Trelvik", shown without blocking the program. It
// shows the banner with the program's emblem, name and version ("Version 1.1.10" from the program's
// version resource), a short description with the maker's notice, a link to the maker's site and an
// "Ok" button (the default and cancel button: Enter and Escape press it where the message loop does
// dialog navigation).
//
// Life cycle: ShowAbout creates the box with its texts, or brings the existing one to the front. Ok
// and the box's own close button destroy it; the next ShowAbout creates it afresh. It is laid out for
// the DPI of the monitor it is on, and again when that changes; at 96 DPI every place and size is its
// design.
#include <memory>
#include <string>

#include "controls/PropertyBag.h"
#include "util/Handles.h"
#include "winmsg/WindowBase.h"

class ctlUniButtonImageXP;
class ctlUniLabel;

class frmAbout final : public WindowBase {
public:
    static constexpr int ClientWidth = 310; // at 96 dots per inch
    static constexpr int ClientHeight = 256;

    // "Version " and the major, minor and revision numbers of this program's version resource; empty
    // when the program has none.
    [[nodiscard]] static std::wstring VersionText();
    // The description: "Trelvik is a", a line break, "nice utility for developers!", four line breaks
    // and the maker's notice line.
    [[nodiscard]] static std::wstring DescriptionText();

    frmAbout();
    ~frmAbout() override;

    // Creates the box (with its texts) when there is none, and shows it in front.
    void ShowAbout();
    void Hide() noexcept;

    // The DPI the box is laid out for.
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    // The controls while the box exists (nullptr otherwise), for tests.
    [[nodiscard]] HWND lblWhat() const noexcept;
    [[nodiscard]] HWND lblVersion() const noexcept;
    [[nodiscard]] HWND lblAbout() const noexcept;
    [[nodiscard]] ctlUniLabel* lblSite() noexcept;
    [[nodiscard]] ctlUniButtonImageXP* btnOk() noexcept;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Controls;

    [[nodiscard]] bool Create();
    void CreateControls();
    // Places, sizes, fonts and pictures for dpi_.
    void LayOut();
    // The form's background as seen from `origin` (a point of the client area at dc's 0, 0): white,
    // the banner with the emblem, and the rule.
    void PaintBackground(HDC dc, POINT origin) noexcept;
    void Paint(HDC dc) noexcept;
    void DrawLabel(const DRAWITEMSTRUCT& item) noexcept;
    void OnDpiChanged(int dpi, LPARAM suggested);
    void OnDestroyed() noexcept;

    int dpi_ = 96;
    // The controls of the box that exists; those of a destroyed box are kept until the next one is
    // made, as its destruction may start inside one of their own events.
    std::unique_ptr<Controls> controls_;
    std::unique_ptr<Controls> retired_;
    // The form's own drawing, released with the window.
    UniqueBitmap banner_;  // Picture1
    UniqueIcon emblem_;    // Image1
    UniqueFont titleFont_; // lblWhat
    UniqueFont plainFont_; // lblVersion, lblAbout
    PicturePtr hand_;      // lblSite's pointer
};

#pragma once
// The font binder: creates a GDI font from a description and keeps it selected into one DC, putting
// the DC's previous font back when it lets go. The ruler, the drawn controls and the owner-drawn menu
// select their captions' fonts through it. The binder owns its font, never the DC; one binder serves
// one DC at a time, and every new selection first releases the previous one.
#include <windows.h>

#include <cstdint>
#include <string>

#include "util/Handles.h"

// The font of a window or control, as its properties describe it (size in points, fractional).
struct StdFont {
    std::wstring name;
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
};

class clsFontHDC {
public:
    clsFontHDC() noexcept = default;
    clsFontHDC(const clsFontHDC&) = delete;
    clsFontHDC& operator=(const clsFontHDC&) = delete;
    ~clsFontHDC() { Destroy(); }

    // The font now held (nullptr when none).
    [[nodiscard]] HFONT hFont() const noexcept { return font_.get(); }

    // Selects the DC's previous font back into it, then deletes the binder's font. Safe to call
    // repeatedly.
    void Destroy() noexcept;

    // Releases the previous selection, creates the font and selects it into dc.
    // - sizePoints: the character height in points at the DC's vertical resolution (96 pixels per
    //   inch when force96Dpi), so 8 points at 96 are 11 pixels.
    // - foreColor: -1 leaves the text colour alone; anything else becomes the DC's text colour (a
    //   system colour code is translated).
    // - quality: a CreateFont quality value (0 = default).
    // - charWeightInc: when not 0, the font is made again with its average character width changed
    //   by this many pixels (at least 1 pixel).
    // A face name longer than a LOGFONT holds is cut to fit. If the system refuses the font, nothing
    // is selected and the DC keeps its font and text colour.
    // Throws AppError ("clsFontHDC.SetFontToDC", "Cannot use this DC!") on a null dc, leaving the
    // previous selection as it was.
    void SetFontToDC(HDC dc, const std::wstring& name, int16_t sizePoints, int32_t foreColor = -1, bool bold = false,
                     bool italic = false, bool underline = false, bool strikeout = false, int16_t quality = 0,
                     int16_t charWeightInc = 0, bool force96Dpi = false);

    // SetFontToDC with the font's properties, its size rounded to whole points (halves to even:
    // 8.25 and 8.5 give 8).
    void SetFontToDCStdFont(HDC dc, const StdFont& font, int32_t foreColor = -1, int16_t quality = 0,
                            int16_t charWeightInc = 0, bool force96Dpi = false);

private:
    // Selects the font into dc and records what it replaced.
    void Select(HDC dc, UniqueFont font) noexcept;

    HDC dc_ = nullptr;
    UniqueFont font_;
    HGDIOBJ previousFont_ = nullptr;
};

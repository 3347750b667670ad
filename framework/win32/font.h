#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/core/persistent.h"
#include "framework/win32/colors.h"
#include "framework/win32/handles.h"

namespace pogoda {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font description; the GDI font is made on demand at the screen's density.
class TFont : public TPersistent {
    POGODA_CLASS_NAME(TFont)
public:
    TFont() = default;

    const std::string& Name() const { return m_name; }
    void SetName(std::string value);
    // Negative: character height in pixels at pixelsPerInch (96 unless the form says else).
    int Height() const { return m_height; }
    void SetHeight(int value);
    unsigned Style() const { return m_style; }
    void SetStyle(unsigned value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    int Charset() const { return m_charset; }
    void SetCharset(int value);
    void SetPixelsPerInch(int value);

    void Assign(const TPersistent* source) override;
    HFONT Handle();

    std::function<void()> OnChange;

private:
    void Changed();

    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    unsigned m_style = 0;
    TColor m_color = clWindowText;
    int m_charset = DEFAULT_CHARSET;
    int m_pixelsPerInch = 96;
    TFontHandle m_handle;
};

}  // namespace pogoda

#include "framework/win32/font.h"

#include <cwchar>

#include "framework/win32/dpi.h"
#include "framework/win32/wide_text.h"

namespace pogoda {

COLORREF ColorToRGB(TColor color) {
    if ((color & kSystemColor) == kSystemColor) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

void TFont::SetName(std::string value) {
    m_name = std::move(value);
    Changed();
}

void TFont::SetHeight(int value) {
    m_height = value;
    Changed();
}

void TFont::SetStyle(unsigned value) {
    m_style = value;
    Changed();
}

void TFont::SetColor(TColor value) {
    m_color = value;
    Changed();
}

void TFont::SetCharset(int value) {
    m_charset = value;
    Changed();
}

void TFont::SetPixelsPerInch(int value) {
    m_pixelsPerInch = value;
    Changed();
}

void TFont::Assign(const TPersistent* source) {
    if (const auto* font = dynamic_cast<const TFont*>(source)) {
        m_name = font->m_name;
        m_height = font->m_height;
        m_style = font->m_style;
        m_color = font->m_color;
        m_charset = font->m_charset;
        m_pixelsPerInch = font->m_pixelsPerInch;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

HFONT TFont::Handle() {
    if (!m_handle) {
        LOGFONTW log{};
        log.lfHeight = ScaleToScreen(m_height, m_pixelsPerInch);
        log.lfWeight = (m_style & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
        log.lfItalic = (m_style & fsItalic) != 0;
        log.lfUnderline = (m_style & fsUnderline) != 0;
        log.lfStrikeOut = (m_style & fsStrikeOut) != 0;
        log.lfCharSet = static_cast<BYTE>(m_charset);
        log.lfQuality = DEFAULT_QUALITY;
        const std::wstring face = Wide(m_name);
        wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        m_handle.Reset(CreateFontIndirectW(&log));
    }
    return m_handle.Get();
}

void TFont::Changed() {
    m_handle.Reset();
    if (OnChange) OnChange();
}

}  // namespace pogoda

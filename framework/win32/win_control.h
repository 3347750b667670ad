#pragma once

// TWinControl: a component that is a window. Geometry and fonts are stored at the form's
// pixels per inch and scaled to the screen when they reach Windows. The window handle is
// made when the control has a parent with a handle (or, for forms, when first needed);
// every setter applies at once when the handle exists, and handle creation applies them all.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/events.h"
#include "framework/win32/colors.h"
#include "framework/win32/font.h"
#include "framework/win32/handles.h"

namespace pogoda {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TWinControl : public TComponent {
    POGODA_CLASS_NAME(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return static_cast<bool>(m_handle); }
    // The control that owns the window; nullptr for windows we did not make.
    static TWinControl* FromHandle(HWND window);

    TWinControl* Parent() const { return m_parent; }
    void SetParent(TWinControl* parent);
    const std::vector<TWinControl*>& Controls() const { return m_controls; }

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetLeft(int value) { SetBounds(value, m_top, m_width, m_height); }
    void SetTop(int value) { SetBounds(m_left, value, m_width, m_height); }
    void SetWidth(int value) { SetBounds(m_left, m_top, value, m_height); }
    void SetHeight(int value) { SetBounds(m_left, m_top, m_width, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TAlign Align() const { return m_align; }
    void SetAlign(TAlign value);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string value);
    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    TFont* Font() { return &m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);
    const std::string& Hint() const { return m_hint; }
    void SetHint(std::string value);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value);
    void SetParentShowHint(bool value) { m_parentShowHint = value; }
    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int value) { m_tabOrder = value; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    void SetOnClick(TNotifyEvent value) { OnClick = std::move(value); }
    void SetOnDblClick(TNotifyEvent value) { OnDblClick = std::move(value); }
    virtual void Click() { OnClick(this); }
    virtual void DblClick() { OnDblClick(this); }

    // The stored density of the form this control sits on.
    virtual int PixelsPerInch() const;
    int Scale(int value) const;

protected:
    struct TCreateParams {
        const wchar_t* className = nullptr;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        HWND parent = nullptr;
    };
    // Own window classes are registered on first use with the shared window procedure.
    static const wchar_t* OwnWindowClass(const wchar_t* name, UINT classStyle = 0);

    virtual void CreateParams(TCreateParams& params);
    // Applies the stored state to a fresh handle; creates the children's handles.
    virtual void CreateWnd();
    void DestroyHandle();
    // The window rectangle in the parent's client coordinates, in screen pixels.
    virtual RECT ScreenBounds() const;
    void ApplyBounds();
    void ApplyFont();
    TFont* EffectiveFont();

    // Typed handlers, called by the dispatcher of the own window classes.
    virtual LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void Paint(HDC /*dc*/) {}
    virtual bool EraseBackground(HDC dc);
    // A notification from a child made of a system class (WM_COMMAND).
    virtual void CommandNotify(WORD /*code*/) {}
    // The brush and text colours for a child made of a system class (WM_CTLCOLOR...).
    virtual HBRUSH ControlColor(HDC dc);

    HWND RawHandle() const { return m_handle.Get(); }
    void SetVisibleFlag(bool value) { m_visible = value; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void CreateHandle();
    void FontChanged();
    void ApplyHint();

    TWindowHandle m_handle;
    TWinControl* m_parent = nullptr;
    std::vector<TWinControl*> m_controls;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    TAlign m_align = alNone;
    std::string m_caption;
    bool m_visible = true;
    bool m_enabled = true;
    TColor m_color = clBtnFace;
    TFont m_font;
    bool m_parentFont = true;
    std::string m_hint;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    int m_tabOrder = -1;
    TBrushHandle m_brush;
};

}  // namespace pogoda

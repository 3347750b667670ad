#pragma once

// TForm: a top-level window owned by the application's taskbar window.

#include "framework/win32/icon.h"
#include "framework/win32/win_control.h"

namespace pogoda {

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

class TForm : public TWinControl {
    POGODA_CLASS_NAME(TForm)
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    void SetBorderStyle(TBorderStyle value);
    void SetBorderIcons(unsigned value);
    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    void SetPosition(TPosition value) { m_position = value; }
    int PixelsPerInch() const override { return m_pixelsPerInch; }
    void SetPixelsPerInch(int value);
    TIcon* Icon() { return &m_icon; }
    void ApplyIcon();

    void SetVisible(bool value) override;
    void Show();
    void Hide() { SetVisible(false); }
    // Raises EInvalidOperation "Cannot make a visible window modal" for a visible, disabled
    // or modal window.
    int ShowModal();
    bool Modal() const { return m_modal; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int value) { m_modalResult = value; }
    void Close();
    // The window's own visibility, as Windows sees it.
    bool Showing() const;

    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    void SetOnClose(TCloseEvent value) { OnClose = std::move(value); }

    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    RECT ScreenBounds() const override;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD Style() const;
    void ApplyStyle();
    void CenterOnScreen();

    TBorderStyle m_borderStyle = bsSizeable;
    unsigned m_borderIcons = biSystemMenu | biMinimize | biMaximize;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    TPosition m_position = poDesigned;
    int m_pixelsPerInch = 96;
    TIcon m_icon;
    bool m_shownBefore = false;
    bool m_modal = false;
    int m_modalResult = mrNone;
    HWND m_focused = nullptr;
};

namespace messages {
inline constexpr const char* kCannotShowModal = "Cannot make a visible window modal";
}

}  // namespace pogoda

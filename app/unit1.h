#pragma once

// The main window: the weather view and the tray menu.

#include <string>

#include "framework/win32/button.h"
#include "framework/win32/form.h"
#include "framework/win32/image.h"
#include "framework/win32/menus.h"
#include "framework/win32/panel.h"
#include "framework/win32/progress_bar.h"
#include "http/anti_freeze.h"
#include "http/cookies.h"
#include "http/http_client.h"
#include "trayicon/trayicon.h"

namespace pogoda {

class TForm1 : public TForm {
    POGODA_CLASS_NAME(TForm1)
public:
    using TForm::TForm;

    TButton* Button1 = nullptr;
    TNetHTTP* NetHTTP1 = nullptr;
    TNetAntiFreeze* NetAntiFreeze1 = nullptr;
    TNetCookieManager* NetCookieManager1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* N5 = nullptr;
    TMenuItem* N6 = nullptr;
    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;

    void Button1Click(TObject* sender);
    void NetHTTP1Work(TObject* sender, TWorkMode workMode, int32_t workCount);
    void NetHTTP1WorkBegin(TObject* sender, TWorkMode workMode, int32_t workCountMax);
    void FormClose(TObject* sender, TCloseAction& action);
    void N1Click(TObject* sender);
    void N2Click(TObject* sender);
    void N6Click(TObject* sender);
    void N4Click(TObject* sender);
    void Image1DblClick(TObject* sender);

private:
    // The anti-freeze serves the window's queue while a fetch waits, so a press or the close
    // can arrive in the middle of one.
    bool m_fetching = false;
    bool m_closing = false;
};

// The directory recorded by the most recent fetch; empty until one has run.
extern std::string FetchDir;
extern TForm1* Form1;

void RegisterUnit1();

}  // namespace pogoda

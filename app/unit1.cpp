#include "app/unit1.h"

#include <windows.h>

#include <mutex>

#include "app/unit2.h"
#include "framework/core/definitions.h"
#include "framework/win32/window_classes.h"

namespace pogoda {

std::string FetchDir;
TForm1* Form1 = nullptr;

void TForm1::FormClose(TObject*, TCloseAction&) {
    // Only a fetch leaves a file behind; before any, there is nothing of ours to delete.
    if (!FetchDir.empty()) DeleteFileA((FetchDir + "\\gis.png").c_str());
}

void TForm1::N1Click(TObject*) {
    Show();
}

void TForm1::N2Click(TObject*) {
    Hide();
}

void TForm1::N4Click(TObject*) {
    Form2->ShowModal();
}

void TForm1::N6Click(TObject*) {
    Close();
}

void RegisterUnit1() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterWindowClasses();
        RegisterTrayIconClass();
        ClassRegistry()
            .Register<TForm1>(&ClassRegistry().Get("TForm"))
            .Field("Button1", &TForm1::Button1)
            .Field("ProgressBar1", &TForm1::ProgressBar1)
            .Field("PopupMenu1", &TForm1::PopupMenu1)
            .Field("TrayIcon1", &TForm1::TrayIcon1)
            .Field("N1", &TForm1::N1)
            .Field("N2", &TForm1::N2)
            .Field("N3", &TForm1::N3)
            .Field("N4", &TForm1::N4)
            .Field("N5", &TForm1::N5)
            .Field("N6", &TForm1::N6)
            .Field("Panel1", &TForm1::Panel1)
            .Field("Image1", &TForm1::Image1)
            .Handler("FormClose", &TForm1::FormClose)
            .Handler("N1Click", &TForm1::N1Click)
            .Handler("N2Click", &TForm1::N2Click)
            .Handler("N6Click", &TForm1::N6Click)
            .Handler("N4Click", &TForm1::N4Click);
    });
}

}  // namespace pogoda

#include "app/unit2.h"

#include <mutex>

#include "app/addresses.h"
#include "app/shell_open.h"
#include "framework/core/definitions.h"
#include "framework/win32/window_classes.h"

namespace pogoda {

TForm2* Form2 = nullptr;

void TForm2::Label2Click(TObject*) { ShellOpen().Open(Handle(), kCityUrl); }

void RegisterUnit2() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterWindowClasses();
        ClassRegistry()
            .Register<TForm2>(&ClassRegistry().Get("TForm"))
            .Field("Image1", &TForm2::Image1)
            .Field("Label1", &TForm2::Label1)
            .Field("Label2", &TForm2::Label2)
            .Handler("Label2Click", &TForm2::Label2Click);
    });
}

}  // namespace pogoda

#include <windows.h>

#include "app/unit1.h"
#include "app/unit2.h"
#include "framework/win32/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace pogoda;
    RegisterUnit1();
    RegisterUnit2();
    TApplication application;
    try {
        application.SetTitle("Погода в Тобольске");
        Form1 = application.CreateForm<TForm1>(L"TFORM1");
        Form2 = application.CreateForm<TForm2>(L"TFORM2");
    } catch (const std::exception& error) {
        application.ShowException(error);
        return 1;
    }
    application.Run();
    return 0;
}

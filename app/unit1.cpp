#include "app/unit1.h"

#include <windows.h>

#include <mutex>

#include "app/addresses.h"
#include "app/shell_open.h"
#include "app/unit2.h"
#include "framework/core/definitions.h"
#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "framework/win32/window_classes.h"
#include "http/net_classes.h"

namespace pogoda {

std::string FetchDir;
TForm1* Form1 = nullptr;

namespace {

std::string CurrentDirectory() {
    std::string directory(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), directory.data());
        if (length == 0) throw Exception("Cannot read the current directory");
        if (length < directory.size()) {
            directory.resize(length);
            return directory;
        }
        directory.resize(length);
    }
}

// The weather image file; FetchDir is used as it is, so a drive root gives two separators.
std::string WeatherFile() { return FetchDir + "\\gis.png"; }

void DeleteWeatherFile() {
    // Only a fetch leaves a file behind; before any, there is nothing of ours to delete.
    if (!FetchDir.empty()) DeleteFileA(WeatherFile().c_str());
}

// Holds a flag set for the length of a scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
    ~TFlagScope() { m_flag = false; }

private:
    bool& m_flag;
};

}  // namespace

void TForm1::Button1Click(TObject*) {
    // A press while a fetch waits would start a second exchange on the same client.
    if (m_fetching) return;
    TFlagScope fetching(m_fetching);
    try {
        FetchDir = CurrentDirectory();
        TMemoryStream body;
        NetHTTP1->Get(kInformerUrl, &body);
        body.SaveToFile(WeatherFile());
        Image1->Picture()->LoadPictureFile(WeatherFile());
        DeleteFileA(WeatherFile().c_str());
    } catch (...) {
        // A failed fetch is silent: the picture and the bar stay as they were.
    }
    // The close clean-up ran while this fetch waited; what the fetch wrote since goes too.
    if (m_closing) DeleteWeatherFile();
}

// Neither work handler looks at the mode, and nothing resets the bar after a fetch: it keeps
// its last position until the next fetch's first events.
void TForm1::NetHTTP1WorkBegin(TObject*, TWorkMode, int32_t workCountMax) {
    ProgressBar1->SetMax(workCountMax);
}

void TForm1::NetHTTP1Work(TObject*, TWorkMode, int32_t workCount) {
    ProgressBar1->SetPosition(workCount);
}

void TForm1::Image1DblClick(TObject*) { ShellOpen().Open(Handle(), kForecastUrl); }

void TForm1::FormClose(TObject*, TCloseAction&) {
    m_closing = true;
    // Closing the connection ends a fetch's wait at once, so the program ends promptly even
    // when the server never answers; the fetch then fails silently.
    if (m_fetching) NetHTTP1->CloseTransport();
    DeleteWeatherFile();
}

void TForm1::N1Click(TObject*) { Show(); }

void TForm1::N2Click(TObject*) { Hide(); }

void TForm1::N4Click(TObject*) { Form2->ShowModal(); }

void TForm1::N6Click(TObject*) { Close(); }

void RegisterUnit1() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterWindowClasses();
        RegisterNetClasses();
        RegisterTrayIconClass();
        ClassRegistry()
            .Register<TForm1>(&ClassRegistry().Get("TForm"))
            .Field("Button1", &TForm1::Button1)
            .Field("NetHTTP1", &TForm1::NetHTTP1)
            .Field("NetAntiFreeze1", &TForm1::NetAntiFreeze1)
            .Field("NetCookieManager1", &TForm1::NetCookieManager1)
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
            .Handler("Button1Click", &TForm1::Button1Click)
            .Handler("NetHTTP1Work", &TForm1::NetHTTP1Work)
            .Handler("NetHTTP1WorkBegin", &TForm1::NetHTTP1WorkBegin)
            .Handler("FormClose", &TForm1::FormClose)
            .Handler("N1Click", &TForm1::N1Click)
            .Handler("N2Click", &TForm1::N2Click)
            .Handler("N6Click", &TForm1::N6Click)
            .Handler("N4Click", &TForm1::N4Click)
            .Handler("Image1DblClick", &TForm1::Image1DblClick);
    });
}

}  // namespace pogoda

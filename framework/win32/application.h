#pragma once

// The application object: the hidden taskbar window, the message loop and the pump that
// blocking code serves the queue through, and the error box for exceptions that escape a
// handler.

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>

#include "framework/core/component.h"
#include "framework/core/events.h"
#include "framework/core/message_pump.h"
#include "framework/core/streams.h"
#include "framework/win32/handles.h"

namespace pogoda {

class TForm;

using TExceptionEvent = TEvent<TObject*, const std::exception&>;

class TApplication : public TComponent, public TMessagePump {
    POGODA_CLASS_NAME(TApplication)
public:
    // Initialises COM for the thread, the common controls and the taskbar window (hidden),
    // and registers itself as the message pump and as Application.
    TApplication();
    // Destroys the forms it owns, last created first.
    ~TApplication() override;

    const std::string& Title() const { return m_title; }
    void SetTitle(std::string value);
    // The zero-sized top-level window that carries the taskbar button.
    HWND Handle() const { return m_window.Get(); }
    TForm* MainForm() const { return m_mainForm; }

    // Makes a form of class T owned by the application and reads the stored definition
    // held in the RCDATA resource of that name. The first form becomes the main form.
    template <class T>
    T* CreateForm(const wchar_t* resourceName) {
        auto* form = new T(this);
        LoadForm(*form, resourceName);
        return form;
    }

    // Shows the main form and handles messages until Terminate.
    void Run();
    // Posts the quit message; the main loop and any modal loop end.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    void ProcessMessages() override;
    bool MessageWaiting() override;
    // Handles one message, waiting for one when the queue is empty.
    void HandleMessage() override;

    // OnException when assigned, otherwise the error box.
    void HandleException(const std::exception& error);
    void ShowException(const std::exception& error);
    TExceptionEvent OnException;

    // Shows or hides the taskbar window after a form's visibility changed: shown while any
    // form is visible, but only while its visibility is still the one last set here.
    void FormVisibilityChanged();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void LoadForm(TForm& form, const wchar_t* resourceName);
    bool ProcessMessage();
    bool AnyFormVisible() const;

    std::string m_title;
    TWindowHandle m_window;
    TForm* m_mainForm = nullptr;
    bool m_terminated = false;
    bool m_taskbarShown = false;
    bool m_comInitialized = false;
    TMessagePump* m_previousPump = nullptr;
};

// The process's application object, or nullptr.
extern TApplication* Application;

// The error box's text: the message with a full stop appended when its last character
// sorts after ".".
std::string ErrorBoxText(std::string_view message);

}  // namespace pogoda

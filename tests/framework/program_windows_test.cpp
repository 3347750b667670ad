// The framework's window rules on the program's own two windows, built from the stored
// definitions linked into this test: the error box text, modal showing, the taskbar window
// and the end of the message loop.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/unit1.h"
#include "app/unit2.h"
#include "framework/core/exceptions.h"
#include "framework/win32/application.h"
#include "framework/win32/utility_window.h"

namespace pogoda {
namespace {

TEST(ErrorBoxText, FullStopOnlyAfterCharactersThatSortAfterIt) {
    const struct {
        std::string message;
        std::string shown;
    } cases[] = {
        {"Cannot make a visible window modal", "Cannot make a visible window modal."},
        {"Done.", "Done."},
        {"Done!", "Done!"},    // '!' sorts before '.'
        {"Size -", "Size -"},  // so does '-'
        {"Path /", "Path /."},  // '/' sorts just after '.'
        {"Code 7", "Code 7."},
        {"Окно", "Окно."},     // Windows-1251 letters sort after every ASCII character
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

// Runs a step from inside whatever message loop is running when it is handled.
class TPostedStep {
public:
    explicit TPostedStep(std::function<void()> step)
        : m_step(std::move(step)), m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
              if (message != WM_APP) return m_window.Default(message, wParam, lParam);
              m_step();
              return LRESULT{0};
          }) {
        PostMessageW(m_window.Handle(), WM_APP, 0, 0);
    }

private:
    std::function<void()> m_step;
    TUtilityWindow m_window;
};

class ProgramWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterUnit1();
        RegisterUnit2();
        application.SetTitle("Погода в Тобольске");
        Form1 = application.CreateForm<TForm1>(L"TFORM1");
        Form2 = application.CreateForm<TForm2>(L"TFORM2");
    }

    bool TaskbarShown() const { return IsWindowVisible(application.Handle()) != FALSE; }

    TApplication application;
};

TEST_F(ProgramWindowsTest, ModalWindowDisablesTheVisibleWindowsUntilItCloses) {
    Form1->Show();
    // A hidden window (as the tray's) stays usable; an already disabled one stays disabled.
    TForm hidden(&application);
    hidden.Handle();
    TForm disabled(&application);
    disabled.SetEnabled(false);
    disabled.Show();

    bool checked = false;
    TPostedStep step([&] {
        EXPECT_TRUE(Form2->Modal());
        EXPECT_TRUE(IsWindowVisible(Form2->Handle()));
        EXPECT_TRUE(IsWindowEnabled(Form2->Handle()));
        EXPECT_FALSE(IsWindowEnabled(Form1->Handle()));
        EXPECT_TRUE(IsWindowEnabled(hidden.Handle()));
        try {
            Form2->ShowModal();
            ADD_FAILURE() << "a second ShowModal was accepted";
        } catch (const EInvalidOperation& error) {
            EXPECT_EQ(error.Message(), "Cannot make a visible window modal");
        }
        EXPECT_TRUE(Form2->Modal()) << "the refusal leaves the open window alone";
        checked = true;
        Form2->Close();
    });
    EXPECT_EQ(Form2->ShowModal(), mrCancel);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(Form2->Modal());
    EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
    EXPECT_FALSE(IsWindowEnabled(disabled.Handle()));
}

TEST_F(ProgramWindowsTest, ShowModalRefusesVisibleAndDisabledWindows) {
    for (bool visible : {true, false}) {
        TForm form(&application);
        if (visible) {
            form.Show();
        } else {
            form.SetEnabled(false);
        }
        EXPECT_THROW(form.ShowModal(), EInvalidOperation) << visible;
        EXPECT_EQ(IsWindowEnabled(Form1->Handle()), TRUE);
    }
}

TEST_F(ProgramWindowsTest, TaskbarWindowFollowsTheVisibleForms) {
    EXPECT_FALSE(TaskbarShown());
    Form1->Show();
    EXPECT_TRUE(TaskbarShown());
    Form1->Hide();
    EXPECT_FALSE(TaskbarShown());

    // The About window alone keeps the taskbar button.
    TPostedStep step([&] {
        EXPECT_TRUE(TaskbarShown());
        Form2->Close();
    });
    Form2->ShowModal();
    EXPECT_FALSE(TaskbarShown());

    // Shown by someone else (the tray icon's ShowApp): left alone from then on.
    ShowWindow(application.Handle(), SW_SHOW);
    Form1->Show();
    Form1->Hide();
    EXPECT_TRUE(TaskbarShown());
}

TEST_F(ProgramWindowsTest, ClosingTheMainWindowEndsTheLoop) {
    TPostedStep step([&] {
        EXPECT_TRUE(IsWindowVisible(Form1->Handle())) << "Run shows the main window first";
        Form1->Close();
    });
    application.Run();
    EXPECT_TRUE(application.Terminated());
}

TEST_F(ProgramWindowsTest, ClosingTheMainWindowEndsAModalLoopToo) {
    // "Выход" while the About window is open: its loop ends, and so does the main loop.
    TPostedStep open([&] {
        TPostedStep exit([&] { Form1->N6Click(nullptr); });
        Form1->N4Click(nullptr);
        EXPECT_FALSE(Form2->Modal());
        EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
    });
    application.Run();
    EXPECT_TRUE(application.Terminated());
}

}  // namespace
}  // namespace pogoda

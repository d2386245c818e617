#include "message/win32/CompletionWindowWin32.h"

#include <utility>

#include "message/CompletionLayout.h"
#include "message/CompletionWindow.h"
#include "platform/win32/forms/Foreground.h"

namespace orvitex::message::win32 {
namespace {

class Surface : public CompletionSurface {
public:
    explicit Surface(forms::win32::Form& form) : form_(form) {}
    forms::SizeTwips OuterSize() override { return form_.OuterSize(); }
    void Move(forms::PointTwips topLeft) override { form_.MoveTo(topLeft); }

private:
    forms::win32::Form& form_;
};

// While the modal window is open the main window takes no input. As a dialog's
// owner, it is enabled and activated before the modal window goes: a disabled
// window cannot be activated, and the system would hand the foreground to the
// next window in line, another program's.
class DisabledWhileModal {
public:
    explicit DisabledWhileModal(HWND window) : window_(window) { EnableWindow(window_, FALSE); }
    ~DisabledWhileModal() { End(false); }
    DisabledWhileModal(const DisabledWhileModal&) = delete;
    DisabledWhileModal& operator=(const DisabledWhileModal&) = delete;

    void End(bool activate) {
        if (std::exchange(ended_, true)) {
            return;
        }
        EnableWindow(window_, TRUE);
        if (activate) {
            SetForegroundWindow(window_);
        }
    }

private:
    HWND window_;
    bool ended_ = false;
};

}  // namespace

void ShowCompletionWindow(forms::win32::Application& app, const forms::win32::Form& mainWindow,
                          platform::Ui& ui, bool pressItsButton) {
    forms::win32::Form form(app, CompletionForm());
    Surface surface(form);
    frmMsg logic(surface, ui);
    form.OnClick(ctl::Label1, [&logic] { logic.Label1_Click(); });
    form.OnClick(ctl::Picture6, [&logic] { logic.Picture6_Click(); });
    bool closed = false;
    form.OnDestroyed([&closed] { closed = true; });

    logic.Form_Load({mainWindow.Position(), mainWindow.OuterSize()});
    DisabledWhileModal modal(mainWindow.Handle());
    form.OnClose([&modal, &form] {
        modal.End(GetForegroundWindow() == form.Handle());
        form.Destroy();
    });
    form.Show();
    // The run's clicks left another program's wizard in front.
    forms::win32::ComeToFront(form.Handle());
    if (pressItsButton) {
        logic.Picture6_Click();
    }
    app.RunUntil([&closed] { return closed; });
}

}  // namespace orvitex::message::win32

#include "message/win32/CompletionWindowWin32.h"

#include "message/CompletionLayout.h"
#include "message/CompletionWindow.h"

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

// While the modal window is open the main window takes no input.
class DisabledWhileModal {
public:
    explicit DisabledWhileModal(HWND window) : window_(window) { EnableWindow(window_, FALSE); }
    ~DisabledWhileModal() { EnableWindow(window_, TRUE); }
    DisabledWhileModal(const DisabledWhileModal&) = delete;
    DisabledWhileModal& operator=(const DisabledWhileModal&) = delete;

private:
    HWND window_;
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
    form.Show();
    if (pressItsButton) {
        logic.Picture6_Click();
    }
    app.RunUntil([&closed] { return closed; });
}

}  // namespace orvitex::message::win32

#pragma once
// frm오르비설치 on the window system: the form built from its control table,
// the surface its logic drives, and the run button's two click events.
#include <functional>
#include <memory>

#include "platform/win32/forms/Application.h"
#include "platform/win32/forms/Form.h"
#include "startup/Log.h"
#include "startup/MainWindow.h"

namespace orvitex::startup::win32 {

class MainWindow : public MainWindowSurface {
public:
    // quiet: the completion window presses its own button.
    MainWindow(forms::win32::Application& app, MainWindowServices services, Log& log, bool quiet);

    [[nodiscard]] frm오르비설치& Logic() { return logic_; }
    [[nodiscard]] forms::win32::Form& Window() { return form_; }
    // The run button as a click on Picture6 would press it.
    void PressRunButton();
    // frmMsg lives beside this window, not below it: the program hands it in.
    void SetCompletionWindow(std::function<void()> show) { showCompletion_ = std::move(show); }

    // Throws install::MainWindowClosed once the window is gone.
    void Yield() override;
    void SetCounterText(std::u16string_view text) override;
    double CounterWidth() override;
    void SetCounterLeft(double left) override;
    double TrackLeft() override;
    double TrackWidth() override;
    void MoveBar(double left, double top, double width) override;
    void SetBarWidth(float width) override;
    forms::SizeTwips ScreenSize() override { return form_.ScreenSize(); }
    forms::SizeTwips OuterSize() override { return form_.OuterSize(); }
    forms::PointTwips Position() override { return form_.Position(); }
    void Move(forms::PointTwips topLeft) override { form_.MoveTo(topLeft); }
    void SetStatusLineVisible(bool visible) override;
    void SetStatusText(std::u16string_view text) override;
    std::u16string CodeText() override;
    void SetCodeText(std::u16string_view text) override;
    std::uintptr_t NativeHandle() override {
        return reinterpret_cast<std::uintptr_t>(form_.Handle());
    }
    void ShowCompletionWindow() override;
    // Whether a run reached its completion window.
    [[nodiscard]] bool Completed() const { return completed_; }

private:
    void Pressed(std::u16string_view control, void (frm오르비설치::*click)());

    forms::win32::Application& app_;
    platform::Ui& ui_;
    Log& log_;
    bool quiet_;
    bool completed_ = false;
    forms::win32::Form form_;
    frm오르비설치 logic_;
    std::function<void()> showCompletion_;
};

}  // namespace orvitex::startup::win32

#include "startup/win32/MainWindowWin32.h"

#include "startup/MainWindowLayout.h"

namespace orvitex::startup::win32 {

MainWindow::MainWindow(forms::win32::Application& app, MainWindowServices services, Log& log,
                       bool quiet)
    : app_(app),
      ui_(services.ui),
      log_(log),
      quiet_(quiet),
      form_(app, MainWindowForm()),
      logic_(*this, services) {
    form_.OnClick(ctl::Label1, [this] { Pressed(u"Label1", &frm오르비설치::Label1_Click); });
    form_.OnClick(ctl::Picture6, [this] { Pressed(u"Picture6", &frm오르비설치::Picture6_Click); });
    // No unload handling: closing the window ends the program.
    form_.OnDestroyed([] { PostQuitMessage(0); });
}

void MainWindow::PressRunButton() {
    Pressed(u"Picture6", &frm오르비설치::Picture6_Click);
}

void MainWindow::Pressed(std::u16string_view control, void (frm오르비설치::*click)()) {
    log_.Line(u"run button pressed: " + std::u16string(control));
    (logic_.*click)();
    log_.Line(u"run returned");
}

void MainWindow::SetCounterText(std::u16string_view text) {
    form_.SetText(ctl::lblstate전체, text);
}

double MainWindow::CounterWidth() {
    return form_.ControlRect(ctl::lblstate전체).width;
}

void MainWindow::SetCounterLeft(double left) {
    auto r = form_.ControlRect(ctl::lblstate전체);
    r.left = left;
    form_.PlaceControl(ctl::lblstate전체, r);
}

double MainWindow::TrackLeft() {
    return form_.ControlRect(ctl::picProgress전체).left;
}

double MainWindow::TrackWidth() {
    return form_.ControlRect(ctl::picProgress전체).width;
}

void MainWindow::MoveBar(double left, double top, double width) {
    auto r = form_.ControlRect(ctl::picProgressbar전체);
    form_.PlaceControl(ctl::picProgressbar전체, {left, top, width, r.height});
}

void MainWindow::SetBarWidth(float width) {
    auto r = form_.ControlRect(ctl::picProgressbar전체);
    r.width = width;
    form_.PlaceControl(ctl::picProgressbar전체, r);
}

void MainWindow::SetStatusLineVisible(bool visible) {
    form_.SetVisible(ctl::lbl진행상태, visible);
}

void MainWindow::SetCodeText(std::u16string_view text) {
    form_.SetText(ctl::txt요양기관기호, text);
}

std::u16string MainWindow::CodeText() {
    return form_.Text(ctl::txt요양기관기호);
}

void MainWindow::SetStatusText(std::u16string_view text) {
    form_.SetText(ctl::lbl진행상태, text);
}

void MainWindow::Yield() {
    app_.Yield();
    if (!form_.IsOpen()) {
        throw install::MainWindowClosed{};
    }
}

}  // namespace orvitex::startup::win32

namespace orvitex::startup::win32 {

void MainWindow::ShowCompletionWindow() {
    completed_ = true;
    log_.Line(u"completion window shown");
    if (showCompletion_) {
        showCompletion_();
    }
    log_.Line(u"completion window closed with its close box");
}

}  // namespace orvitex::startup::win32

#pragma once
// frmMsg: the window that ends a complete run. Its button ends the program at
// once; its close box only closes it, and the waiting run goes on.
#include "forms/Geometry.h"
#include "platform/Ui.h"

namespace orvitex::message {

struct WindowBox {
    forms::PointTwips topLeft;
    forms::SizeTwips size;  // outer size
};

class CompletionSurface {
public:
    virtual ~CompletionSurface() = default;
    [[nodiscard]] virtual forms::SizeTwips OuterSize() = 0;
    virtual void Move(forms::PointTwips topLeft) = 0;
};

class frmMsg {
public:
    frmMsg(CompletionSurface& surface, platform::Ui& ui) : surface_(surface), ui_(ui) {}

    // Centres the window on the main window; runs before it becomes visible.
    void Form_Load(const WindowBox& mainWindow);
    [[noreturn]] void Label1_Click() { EndNow(); }
    [[noreturn]] void Picture6_Click() { EndNow(); }

private:
    [[noreturn]] void EndNow();

    CompletionSurface& surface_;
    platform::Ui& ui_;
};

}  // namespace orvitex::message

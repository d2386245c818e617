#pragma once
// The real main window on the window system, with services that reach nothing:
// no registry key opens and the main server always answers.
#include "platform/win32/Win32Api.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "forms/Geometry.h"
#include "install/MainServer.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "platform/win32/forms/Application.h"
#include "startup/Log.h"
#include "startup/win32/MainWindowWin32.h"

namespace orvitex::testing {

struct ProgramEnded {
    int exitCode;
};

class NoRegistry : public platform::Registry {
public:
    std::unique_ptr<platform::RegistryKey> OpenMachineKeyForSetValue(std::u16string_view) override {
        return nullptr;
    }
};

class AlwaysConnected : public install::MainServerConnector {
public:
    std::int32_t ConnectServerDB(std::u16string_view, std::u16string_view, std::u16string_view,
                                 std::u16string_view) override {
        return 1;
    }
};

class ThrowingUi : public platform::Ui {
public:
    void ShowMessage(std::u16string_view, platform::MessageIcon) override { ++messages; }
    void SetBusyPointer(bool) override {}
    void EndProgram(int exitCode) override { throw ProgramEnded{exitCode}; }
    int messages = 0;
};

inline std::filesystem::path TempLogPath() {
    wchar_t folder[MAX_PATH]{};
    GetTempPathW(MAX_PATH, folder);
    return std::filesystem::path(folder) /
           ("orvitex-ui-" + std::to_string(GetCurrentProcessId()) + ".log");
}

struct WindowFixture {
    forms::win32::Application app{GetModuleHandleW(nullptr)};
    NoRegistry registry;
    AlwaysConnected connector;
    ThrowingUi ui;
    install::ServerSettings settings{u"127.0.0.1", u"127.0.0.2", u"4181", u"orvitex", u"sa", u"x"};
    std::filesystem::path logPath = TempLogPath();
    startup::Log log{logPath};
    startup::win32::MainWindow main{app, {registry, ui, connector, settings}, log, false};

    ~WindowFixture() {
        std::error_code ignored;
        std::filesystem::remove(logPath, ignored);
    }
    std::string LogText() const {
        std::ifstream in(logPath, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::uint32_t Dpi() { return main.Window().Dpi(); }
    std::int32_t Px(double twips) { return forms::TwipsToPixels(twips, Dpi()); }
};

// A child's rectangle relative to its parent's client area.
inline RECT RectInParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace orvitex::testing

// Asks orvitex-setup's main window from another process, every 50 ms, whether its
// thread answers (WM_NULL by SendMessageTimeoutW), and journals each answer, until
// the window is gone or the stop file exists; then prints the slowest answer.
//
//   orvitex-answer-probe JOURNAL [--watch FILE] [--stop FILE] [--press TEXT]
//
// A journal line: "sent=MS latency=MS answered=0|1 before=BYTES after=BYTES", with
// MS counted from the probe's start and BYTES the size of the watched file (the
// run log) just before the message was sent and just after its answer: a line of
// that file that ends by `before` was written before the send, one that begins at
// or after `after` was written after the answer. No clock is shared with the run.
// --press TEXT: each time the watched file's last line holds TEXT, the run button
// is pressed once (posted to it), journalled as "press at=BYTES".
#include <windows.h>

#include <cstdio>
#include <string>

#include "forms/FormTable.h"
#include "startup/MainWindowLayout.h"

namespace {

using namespace orvitex;

constexpr DWORD kPeriodMs = 50;
// Long enough to measure any freeze the run could have; a window that goes away
// ends the wait at once.
constexpr UINT kAnswerLimitMs = 60000;

struct Options {
    std::wstring journal, watch, stop;
    std::string press;
};

long long Milliseconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - from.QuadPart) * 1000 / frequency.QuadPart;
}

bool Exists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The last line of the file (without its line end), read while the run appends to it.
std::string LastLine(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    char tail[512]{};
    DWORD got = 0;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        LARGE_INTEGER at{};
        at.QuadPart = size.QuadPart > 511 ? size.QuadPart - 511 : 0;
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        ReadFile(file, tail, 511, &got, nullptr);
    }
    CloseHandle(file);
    std::string text(tail, got);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    const auto start = text.find_last_of('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

// The child window of a control of the main window's table, through its containers.
HWND ControlWindow(HWND main, forms::ControlRef ref) {
    const forms::FormTable& table = startup::MainWindowForm();
    const std::int32_t index = table.IndexOf(ref);
    if (index < 0)
        return nullptr;
    const forms::ControlRow& row = table.controls[static_cast<std::size_t>(index)];
    HWND parent = row.container.name.empty() ? main : ControlWindow(main, row.container);
    return parent ? GetDlgItem(parent, forms::kFirstControlId + index) : nullptr;
}

// A press and release inside the run button, as its window receives a click.
void PressRun(HWND main) {
    HWND button = ControlWindow(main, startup::ctl::Picture6);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

HWND WaitForMain(const Options& options) {
    for (int round = 0; round < 1200 && !Exists(options.stop); ++round, Sleep(kPeriodMs)) {
        if (HWND main = FindWindowW(L"OrvitexForm", L"Orvitex 설치"))
            return main;
    }
    return nullptr;
}

bool Parse(int argc, wchar_t** argv, Options& options) {
    if (argc < 2)
        return false;
    options.journal = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--press" && i + 1 < argc) {
            const std::wstring text = argv[++i];
            options.press.assign(text.begin(), text.end());  // ASCII
        } else if ((arg == L"--watch" || arg == L"--stop") && i + 1 < argc) {
            (arg == L"--watch" ? options.watch : options.stop) = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::printf(
            "usage: orvitex-answer-probe JOURNAL [--watch FILE] [--stop FILE] [--press TEXT]\n");
        return 2;
    }
    FILE* journal = _wfopen(options.journal.c_str(), L"w");
    if (!journal) {
        std::printf("cannot write the journal\n");
        return 2;
    }
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    HWND main = WaitForMain(options);
    long long answers = 0, unanswered = 0, slowest = -1, slowestSent = 0, pressedAt = -1;
    while (main && !Exists(options.stop)) {
        const long long before = SizeOf(options.watch);
        const long long sent = Milliseconds(start);
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &result) != 0;
        const long long latency = Milliseconds(start) - sent;
        if (!answered && !IsWindow(main))
            break;
        std::fprintf(journal, "sent=%lld latency=%lld answered=%d before=%lld after=%lld\n", sent,
                     latency, answered ? 1 : 0, before, SizeOf(options.watch));
        (answered ? answers : unanswered) += 1;
        if (answered && latency > slowest) {
            slowest = latency;
            slowestSent = sent;
        }
        const long long size = SizeOf(options.watch);
        if (!options.press.empty() && size != pressedAt &&
            LastLine(options.watch).find(options.press) != std::string::npos) {
            PressRun(main);
            pressedAt = size;
            std::fprintf(journal, "press at=%lld\n", size);
        }
        std::fflush(journal);
        const long long spent = Milliseconds(start) - sent;
        if (spent < kPeriodMs)
            Sleep(static_cast<DWORD>(kPeriodMs - spent));
    }
    std::fclose(journal);
    std::printf("answers %lld, unanswered %lld, slowest answer %lld ms (sent at %lld ms)\n",
                answers, unanswered, slowest, slowestSent);
    std::fflush(stdout);
    return main ? 0 : 1;
}

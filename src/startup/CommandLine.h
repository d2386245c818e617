#pragma once
// Options for staging, deployment tools and tests. With none the program runs on
// its built-in settings alone.
#include <chrono>
#include <optional>
#include <span>
#include <string>

namespace orvitex::startup {

struct Options {
    std::optional<std::u16string> centralDb;
    std::optional<std::u16string> centralOdbc;
    std::optional<std::u16string> mainServer;
    std::optional<std::u16string> sqlDriver;
    std::optional<std::u16string> code;
    std::optional<std::u16string> log;
    // The limit of each open-ended wait of the window scripts; none: their default.
    std::optional<std::chrono::seconds> waitLimit;
    std::optional<std::u16string> report;
    bool check = false;
    bool run = false;
    bool quiet = false;
    bool help = false;
};

struct ParsedCommandLine {
    Options options;
    std::u16string error;  // empty when the command line is valid
};

// args excludes the program name. Values follow their option ("--code X") or
// are joined to it ("--code=X").
[[nodiscard]] ParsedCommandLine ParseCommandLine(std::span<const std::u16string> args);
[[nodiscard]] std::u16string UsageText();

}  // namespace orvitex::startup

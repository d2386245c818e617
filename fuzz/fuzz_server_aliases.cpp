// Input: a server name, then an address and a port (each up to a lone backslash).
// Alias data must name the same host and instance it was made from: reading the
// named-pipe path back gives the server name again, and a TCP alias splits back
// into its address and port at its last comma.
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "install/ServerAliases.h"

namespace {

using orvitex::fuzz::Require;

// "DBNMPNTW,\\host\pipe\sql\query" or "DBNMPNTW,\\host\pipe\MSSQL$inst\sql\query"
// back to "host" or "host\inst"; nullopt when the data has neither form.
std::optional<std::u16string> ServerNameOf(std::u16string_view data) {
    constexpr std::u16string_view kHead = u"DBNMPNTW,\\\\", kTail = u"\\sql\\query";
    if (!data.starts_with(kHead) || !data.ends_with(kTail))
        return std::nullopt;
    data = data.substr(kHead.size(), data.size() - kHead.size() - kTail.size());
    // The host ends at the name's first backslash, so the first "\\pipe" follows it.
    const auto pipe = data.find(u"\\pipe");
    if (pipe == std::u16string_view::npos)
        return std::nullopt;
    const std::u16string_view host = data.substr(0, pipe), rest = data.substr(pipe + 5);
    if (rest.empty())
        return std::u16string(host);
    if (!rest.starts_with(u"\\MSSQL$"))
        return std::nullopt;
    return std::u16string(host) + u"\\" + std::u16string(rest.substr(7));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::u16string server = orvitex::fuzz::ConsumeText(data, 256);
    const std::u16string address = orvitex::fuzz::ConsumeText(data);
    const std::u16string port = orvitex::fuzz::ConsumeText(data, 16);

    const std::u16string pipe = orvitex::install::PipeAliasData(server);
    Require(ServerNameOf(pipe) == server, "the pipe path names the server", pipe);

    const std::u16string tcp = orvitex::install::TcpAliasData(address, port);
    Require(tcp.starts_with(u"DBMSSOCN,"), "a TCP alias names its network library", tcp);
    if (port.find(u',') == std::u16string::npos) {
        const auto comma = tcp.rfind(u',');
        Require(tcp.substr(9, comma - 9) == address && tcp.substr(comma + 1) == port,
                "a TCP alias splits back into address and port", tcp);
    }
    return 0;
}

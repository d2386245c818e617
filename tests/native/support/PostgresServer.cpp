#include "support/PostgresServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/Text.h"
#include "support/Process.h"

namespace orvitex::testing {

namespace {

std::uint16_t FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

std::filesystem::path FindBinaries() {
    std::filesystem::path best;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
        const auto bin = entry.path() / "bin";
        if (std::filesystem::exists(bin / "postgres") && bin > best)
            best = bin;
    }
    return best;
}

std::optional<SystemUser> ServerUser() {
    return geteuid() == 0 ? FindSystemUser("postgres") : std::nullopt;
}

}  // namespace

PostgresServer& PostgresServer::Shared() {
    static PostgresServer server;
    return server;
}

PostgresServer::PostgresServer() {
    binaries_ = FindBinaries();
    if (binaries_.empty()) {
        problem_ = "no PostgreSQL server under /usr/lib/postgresql";
        return;
    }
    folder_ = std::make_unique<TempDir>("orvitex-pg");
    const auto user = ServerUser();
    if (geteuid() == 0 && !user) {
        problem_ = "no postgres system user to run the server as";
        return;
    }
    if (user) {
        (void)chown(folder_->Path().c_str(), user->uid, user->gid);
    }
    const auto data = folder_->File("data");
    const int rc = RunProcess({Binary("initdb").string(), "-D", data.string(), "-U", "postgres",
                               "-A", "trust", "-E", "UTF8", "--locale=C", "--no-sync"},
                              folder_->File("initdb.log"), user);
    if (rc != 0) {
        problem_ = "initdb failed; see " + folder_->File("initdb.log").string();
        return;
    }
    port_ = FreeLoopbackPort();
    Start();
}

PostgresServer::~PostgresServer() {
    Stop();
}

std::filesystem::path PostgresServer::Binary(const std::string& name) const {
    return binaries_ / name;
}

void PostgresServer::Start() {
    if (pid_ > 0 || port_ == 0)
        return;
    pid_ = StartProcess({Binary("postgres").string(), "-D", folder_->File("data").string(), "-p",
                         std::to_string(port_), "-h", "127.0.0.1", "-k", folder_->Path().string(),
                         "-c", "fsync=off"},
                        folder_->File("server.log"), ServerUser());
    if (!WaitReady()) {
        problem_ = "the server did not become ready; see " + folder_->File("server.log").string();
        Stop();
    }
}

void PostgresServer::Stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGINT);  // fast shutdown
    WaitProcess(pid_);
    pid_ = -1;
}

bool PostgresServer::WaitReady() {
    // Readiness is polled, never assumed after a fixed delay.
    for (int attempt = 0; attempt < 600; ++attempt) {
        const int rc = RunProcess(
            {Binary("pg_isready").string(), "-q", "-h", "127.0.0.1", "-p", std::to_string(port_)},
            folder_->File("isready.log"));
        if (rc == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::u16string PostgresServer::ConnectionString(const std::string& database) const {
    return FromUtf8("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port_) +
                    ";Database=" + database + ";UID=postgres;CommLog=0;Debug=0");
}

std::string PostgresServer::CreateDatabase() {
    const std::string name =
        "orvitex_" + std::to_string(getpid()) + "_" + std::to_string(++databases_);
    const int rc = RunProcess({Binary("createdb").string(), "-h", "127.0.0.1", "-p",
                               std::to_string(port_), "-U", "postgres", "-E", "UTF8", name},
                              folder_->File("createdb.log"));
    if (rc != 0)
        throw std::runtime_error("createdb failed for " + name);
    return name;
}

}  // namespace orvitex::testing

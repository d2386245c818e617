#include "Servers.h"

#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/Text.h"

namespace orvitex::db::testing {
namespace {

constexpr const char* kPostgresBin = "/usr/lib/postgresql/15/bin/";

int FreeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(s);
    return port;
}

bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

struct PostgresUser {
    uid_t uid;
    gid_t gid;
};

PostgresUser LookUpPostgres() {
    const passwd* entry = ::getpwnam("postgres");
    if (!entry)
        throw std::runtime_error("no postgres user");
    return {entry->pw_uid, entry->pw_gid};
}

// Runs a program as the postgres user; returns its pid without waiting.
pid_t SpawnAsPostgres(const std::vector<std::string>& argv, const std::string& output) {
    const auto user = LookUpPostgres();
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (::setgid(user.gid) != 0 || ::setuid(user.uid) != 0)
        ::_exit(126);
    const int log = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (log >= 0) {
        ::dup2(log, 1);
        ::dup2(log, 2);
    }
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvitex-db-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category());
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

PostgresServer::PostgresServer() : data_(folder_.Path() / "data") {
    const auto user = LookUpPostgres();
    if (::chown(folder_.Path().c_str(), user.uid, user.gid) != 0)
        return;
    const std::string log = (folder_.Path() / "initdb.log").string();
    const pid_t initdb =
        SpawnAsPostgres({std::string(kPostgresBin) + "initdb", "-D", data_.string(), "-A", "trust",
                         "-U", "postgres", "-E", "UTF8", "--no-sync"},
                        log);
    initialised_ = WaitFor(initdb) == 0;
    port_ = FreeLoopbackPort();
}

PostgresServer::~PostgresServer() {
    Stop();
}

bool PostgresServer::Start() {
    if (!initialised_ || port_ == 0)
        return false;
    if (pid_ > 0)
        return true;
    pid_ = SpawnAsPostgres(
        {std::string(kPostgresBin) + "postgres", "-D", data_.string(), "-p", std::to_string(port_),
         "-c", "listen_addresses=127.0.0.1", "-k", folder_.Path().string(), "-c", "fsync=off"},
        (folder_.Path() / "server.log").string());
    // Readiness is polled, never asserted on time: up to a minute of patience.
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (Accepts(port_) && Psql("SELECT 1"))
            return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    Stop();
    return false;
}

void PostgresServer::Stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGINT);  // fast shutdown: open sessions are ended
    WaitFor(pid_);
    pid_ = -1;
}

std::u16string PostgresServer::OdbcString() const {
    return FromUtf8("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port_) +
                    ";Database=postgres;Uid=postgres;Pwd=;");
}

bool PostgresServer::Psql(const std::string& sql) const {
    const pid_t psql = SpawnAsPostgres(
        {std::string(kPostgresBin) + "psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", "127.0.0.1",
         "-p", std::to_string(port_), "-U", "postgres", "-d", "postgres", "-c", sql},
        (folder_.Path() / "psql.log").string());
    return WaitFor(psql) == 0;
}

}  // namespace orvitex::db::testing

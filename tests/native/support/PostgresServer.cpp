#include "support/PostgresServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/Text.h"

namespace orvitex::testing {

namespace {

// PostgreSQL refuses root: then its programs run as the postgres system user.
std::optional<passwd> ServerUser() {
    const passwd* entry = geteuid() == 0 ? getpwnam("postgres") : nullptr;
    return entry ? std::optional(*entry) : std::nullopt;
}

// Starts argv[0] (a path) with its output appended to logFile; the process gets
// SIGINT if the test program dies first, even without its destructors.
pid_t StartProcess(std::vector<std::string> argv, const std::filesystem::path& logFile) {
    std::vector<char*> args;
    for (auto& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    const auto user = ServerUser();
    const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error("cannot open " + logFile.string());
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        if (user &&
            (setgroups(0, nullptr) != 0 || setgid(user->pw_gid) != 0 || setuid(user->pw_uid) != 0))
            _exit(126);
        prctl(PR_SET_PDEATHSIG, SIGINT);  // after setuid, which would clear it
        if (getppid() != parent)
            _exit(125);
        execv(args[0], args.data());
        _exit(127);
    }
    close(log);
    if (pid < 0)
        throw std::runtime_error("fork failed");
    return pid;
}

// The exit code, -1 when the process was killed.
int WaitProcess(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint16_t FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

}  // namespace

PostgresServer& PostgresServer::Shared() {
    static PostgresServer server;
    return server;
}

PostgresServer::PostgresServer() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
        if (std::filesystem::exists(entry.path() / "bin" / "postgres"))
            binaries_ = std::max(binaries_, entry.path() / "bin");
    }
    if (binaries_.empty()) {
        problem_ = "no PostgreSQL server under /usr/lib/postgresql";
        return;
    }
    folder_ = std::make_unique<TempDir>("orvitex-pg");
    // As root without a postgres user, initdb refuses and its log says why.
    if (const auto user = ServerUser())
        (void)chown(folder_->Path().c_str(), user->pw_uid, user->pw_gid);
    if (Run("initdb", {"-D", folder_->File("data"), "-U", "postgres", "-A", "trust", "-E", "UTF8",
                       "--locale=C", "--no-sync"}) != 0) {
        problem_ = "initdb failed; see " + folder_->File("initdb.log").string();
        return;
    }
    port_ = FreeLoopbackPort();
    Start();
}

PostgresServer::~PostgresServer() {
    Stop();
}

int PostgresServer::Run(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), binaries_ / program);
    return WaitProcess(StartProcess(std::move(args), folder_->File(program + ".log")));
}

void PostgresServer::Start() {
    if (pid_ > 0 || port_ == 0)
        return;
    const std::string port = std::to_string(port_);
    pid_ = StartProcess({binaries_ / "postgres", "-D", folder_->File("data"), "-p", port, "-h",
                         "127.0.0.1", "-k", folder_->Path(), "-c", "fsync=off"},
                        folder_->File("postgres.log"));
    // Readiness is polled, never assumed after a fixed delay; at most a minute.
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (Run("pg_isready", {"-q", "-h", "127.0.0.1", "-p", port}) == 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    problem_ = "the server did not become ready; see " + folder_->File("postgres.log").string();
    Stop();
}

void PostgresServer::Stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGINT);  // fast shutdown
    WaitProcess(pid_);
    pid_ = -1;
}

std::u16string PostgresServer::ConnectionString(const std::string& database) const {
    return FromUtf8("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port_) +
                    ";Database=" + database + ";UID=postgres;CommLog=0;Debug=0");
}

std::string PostgresServer::CreateDatabase() {
    std::string name = "orvitex_" + std::to_string(getpid()) + "_" + std::to_string(++databases_);
    if (Run("createdb", {"-h", "127.0.0.1", "-p", std::to_string(port_), "-U", "postgres", "-E",
                         "UTF8", name}) != 0)
        throw std::runtime_error("createdb failed for " + name);
    return name;
}

}  // namespace orvitex::testing

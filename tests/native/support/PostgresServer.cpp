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
pid_t StartProcess(const std::vector<std::string>& argv, const std::filesystem::path& logFile) {
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const auto user = ServerUser();
    const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error("cannot open " + logFile.string());
    if (user)
        (void)fchown(log, user->pw_uid, user->pw_gid);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0)
            dup2(null, STDIN_FILENO);
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

int RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& logFile) {
    return WaitProcess(StartProcess(argv, logFile));
}

std::uint16_t FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
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
    const auto user = ServerUser();
    if (geteuid() == 0 && !user) {
        problem_ = "no postgres system user to run the server as";
        return;
    }
    if (user)
        (void)chown(folder_->Path().c_str(), user->pw_uid, user->pw_gid);
    if (RunProcess({Binary("initdb"), "-D", folder_->File("data"), "-U", "postgres", "-A", "trust",
                    "-E", "UTF8", "--locale=C", "--no-sync"},
                   folder_->File("initdb.log")) != 0) {
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
    pid_ =
        StartProcess({Binary("postgres"), "-D", folder_->File("data"), "-p", std::to_string(port_),
                      "-h", "127.0.0.1", "-k", folder_->Path(), "-c", "fsync=off"},
                     folder_->File("server.log"));
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

// Readiness is polled, never assumed after a fixed delay; at most a minute.
bool PostgresServer::WaitReady() {
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (RunProcess({Binary("pg_isready"), "-q", "-h", "127.0.0.1", "-p", std::to_string(port_)},
                       folder_->File("isready.log")) == 0)
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
    if (RunProcess({Binary("createdb"), "-h", "127.0.0.1", "-p", std::to_string(port_), "-U",
                    "postgres", "-E", "UTF8", name},
                   folder_->File("createdb.log")) != 0)
        throw std::runtime_error("createdb failed for " + name);
    return name;
}

}  // namespace orvitex::testing

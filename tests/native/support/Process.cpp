#include "support/Process.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace orvitex::testing {

std::optional<SystemUser> FindSystemUser(const std::string& name) {
    const passwd* entry = getpwnam(name.c_str());
    if (!entry)
        return std::nullopt;
    return SystemUser{entry->pw_uid, entry->pw_gid};
}

pid_t StartProcess(const std::vector<std::string>& argv, const std::filesystem::path& logFile,
                   std::optional<SystemUser> user) {
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error("cannot open " + logFile.string());
    if (user)
        (void)fchown(log, user->uid, user->gid);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        close(log);
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0)
            dup2(null, STDIN_FILENO);
        if (user &&
            (setgroups(0, nullptr) != 0 || setgid(user->gid) != 0 || setuid(user->uid) != 0)) {
            _exit(126);
        }
        // A test program that dies without its destructors (a sanitizer abort) takes
        // its servers with it; set after setuid, which would clear it.
        prctl(PR_SET_PDEATHSIG, SIGINT);
        if (getppid() != parent)
            _exit(125);
        execv(args[0], args.data());
        _exit(127);
    }
    close(log);
    return pid;
}

int WaitProcess(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& logFile,
               std::optional<SystemUser> user) {
    return WaitProcess(StartProcess(argv, logFile, user));
}

}  // namespace orvitex::testing

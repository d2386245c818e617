#pragma once
// A PostgreSQL server for one test program on 127.0.0.1 and a free port, started on
// first use and stopped, by its pid, when the program ends.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace orvitex::testing {

class PostgresServer {
public:
    static PostgresServer& Shared();
    ~PostgresServer();

    bool Running() const { return pid_ > 0; }
    const std::string& Problem() const { return problem_; }
    std::uint16_t Port() const { return port_; }

    std::u16string ConnectionString(const std::string& database = "postgres") const;
    std::string CreateDatabase();

    // Start takes the same cluster and port, so a test can cut open sessions.
    void Stop();
    void Start();

private:
    PostgresServer();
    int Run(const std::string& program, std::vector<std::string> args);

    std::unique_ptr<TempDir> folder_;
    std::filesystem::path binaries_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    int databases_ = 0;
    std::string problem_;
};

}  // namespace orvitex::testing

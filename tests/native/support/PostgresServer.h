#pragma once
// A PostgreSQL server for one test program: initdb in a temporary folder, the
// postmaster listening on 127.0.0.1 and a free port, run as the "postgres"
// system user when the tests run as root (PostgreSQL refuses root). It starts
// on first use and is stopped, by its pid, when the program ends.
//
//   auto& server = PostgresServer::Shared();
//   if (!server.Running()) GTEST_SKIP() << server.Problem();
//   connection->Open(server.ConnectionString(server.CreateDatabase()));
//
// Stop() and Start() stop and restart the same cluster on the same port, so a
// test can take the server away under an open connection.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "support/TempDir.h"

namespace orvitex::testing {

class PostgresServer {
public:
    static PostgresServer& Shared();
    ~PostgresServer();

    bool Running() const { return pid_ > 0; }
    // Why the server is not running, for a skip message.
    const std::string& Problem() const { return problem_; }
    std::uint16_t Port() const { return port_; }

    // "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=…;Database=…;UID=postgres"
    std::u16string ConnectionString(const std::string& database = "postgres") const;
    // Creates an empty database with a new name and returns the name.
    std::string CreateDatabase();

    void Stop();   // fast shutdown: open sessions are cut
    void Start();  // the same cluster, the same port; waits until it accepts connections

private:
    PostgresServer();
    bool WaitReady();
    std::filesystem::path Binary(const std::string& name) const;

    std::unique_ptr<TempDir> folder_;
    std::filesystem::path binaries_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    int databases_ = 0;
    std::string problem_;
};

}  // namespace orvitex::testing

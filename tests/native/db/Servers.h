#pragma once
// What the database tests start: a temporary folder and a PostgreSQL server on
// 127.0.0.1, each stopped and removed by its owner.
#include <sys/types.h>

#include <filesystem>
#include <string>

namespace orvitex::db::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A cluster of its own, owned by the postgres user (the server refuses root),
// listening on 127.0.0.1 and a free port. Stop and Start kill and restart
// exactly the postmaster this object started.
class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    [[nodiscard]] bool Start();
    void Stop();
    bool Running() const { return pid_ > 0; }
    int Port() const { return port_; }
    // An ODBC connection string for the "PostgreSQL Unicode" driver.
    std::u16string OdbcString() const;
    // Runs SQL through psql as the postgres user; false when psql fails.
    [[nodiscard]] bool Psql(const std::string& sql) const;

private:
    TempFolder folder_;
    std::filesystem::path data_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool initialised_ = false;
};

}  // namespace orvitex::db::testing

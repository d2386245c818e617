#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FakeFileSystem.h"
#include "FakeUi.h"
#include "install/CentralDb.h"
#include "install/SharedDatabase.h"

namespace orvitex::install {
namespace {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string name = "orvitex-shared-db-XXXXXX";
        const fs::path pattern = fs::temp_directory_path() / name;
        std::string buffer = pattern.string();
        path_ = mkdtemp(buffer.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

ado::ProviderDrivers CentralFile(const fs::path& file) {
    ado::ProviderDrivers drivers;
    drivers.sqlServerReplacement = CentralDbConnectionString(FromUtf8(file.string()));
    return drivers;
}

TEST(SharedDatabase, ConnectsOneSharedInstanceToTheCentralFile) {
    TempFolder folder;
    const fs::path file = folder.Path() / "central.db";
    const std::string create = "sqlite3 '" + file.string() + "' 'CREATE TABLE t(x);'";
    ASSERT_EQ(std::system(create.c_str()), 0);
    std::shared_ptr<db::clsDBMng> instance;
    testing::FakeUi ui;
    testing::FakeFileSystem files;
    SharedDatabase database(instance, CentralFile(file), ui, files);

    EXPECT_EQ(database.ConnectServerDB(u"127.0.0.1", u"sa", u"$19KupTel57@$", u"orvitex"), 1);
    ASSERT_NE(instance, nullptr);
    const db::clsDBMng* first = instance.get();
    EXPECT_TRUE(instance->IsServerConnect());
    EXPECT_EQ(database.ConnectServerDB(u"127.0.0.1", u"sa", u"$19KupTel57@$", u"orvitex"), 1);
    EXPECT_EQ(instance.get(), first) << "one instance for the whole program";
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SharedDatabase, MissingCentralFileFailsAndIsNeverCreated) {
    TempFolder folder;
    const fs::path file = folder.Path() / "missing.db";
    std::shared_ptr<db::clsDBMng> instance;
    testing::FakeUi ui;
    testing::FakeFileSystem files;
    SharedDatabase database(instance, CentralFile(file), ui, files);

    EXPECT_EQ(database.ConnectServerDB(u"127.0.0.1", u"sa", u"pw", u"orvitex"), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(ui.messages.empty()) << "ConnectMainServer alone talks to the user";
}

}  // namespace
}  // namespace orvitex::install

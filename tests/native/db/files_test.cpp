#include <gtest/gtest.h>

#include "SqliteFixture.h"

namespace orvitex::db {
namespace {

using testing::PatternBytes;

const std::u16string kFile = u"C:\\오르비설치\\setup.exe";

// The stored program column of a new row of an updatable SQLite recordset.
class Files : public testing::SqliteTest {
protected:
    void SetUp() override {
        Connect();
        Sql(u"CREATE TABLE f (id INTEGER PRIMARY KEY, data BLOB, note TEXT)");
    }
    ado::Field& NewRow(const ado::Variant& data, const char16_t* column = u"data") {
        rows = db.GetRecordSet(u"SELECT id, data, note FROM f", ado::adOpenKeyset,
                               ado::adLockOptimistic);
        rows->AddNew();
        rows->GetFields().Item(u"id").SetValue(ado::Variant(++id));
        rows->GetFields().Item(column).SetValue(data);
        return rows->GetFields().Item(column);
    }
    std::shared_ptr<ado::Recordset> rows;
    std::int32_t id = 0;
};

TEST_F(Files, SaveReadsWholeBlocksThenTheRestIntoAValueReservedOnce) {
    const struct {
        std::size_t length;
        std::vector<std::size_t> reads;
    } cases[] = {
        {1, {1}},
        {32768, {32768}},
        {65535, {32768, 32767}},
        {65537, {32768, 32768, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        auto& field = NewRow(ado::Bytes{std::byte{9}});  // replaced, not appended to
        const auto content = PatternBytes(c.length);
        files.files[kFile] = content;
        files.blockReads.clear();
        EXPECT_EQ(db.ImageDBSave(field, kFile), static_cast<std::int32_t>(c.length));
        EXPECT_EQ(files.blockReads, c.reads);  // never the whole file at once
        const auto saved = field.Value().ToBytes();
        EXPECT_EQ(*saved, content);
        EXPECT_EQ(saved->capacity(), c.length);
    }
}

TEST_F(Files, LoadReplacesAnExistingFileOnlyWhenAsked) {
    const auto old = PatternBytes(10, 1), content = PatternBytes(100000);
    const struct {
        const char* name;
        ado::Variant value;
        bool update;
        std::int32_t result;
        std::optional<std::vector<std::byte>> file;  // afterwards
    } cases[] = {
        {"kept, Null field", ado::Variant::MakeNull(), false, 1, old},
        {"kept, full field", ado::Variant(content), false, 1, old},
        {"replaced by Null", ado::Variant::MakeNull(), true, 0, std::nullopt},
        {"replaced by nothing", ado::Variant(ado::Bytes{}), true, 0, std::nullopt},
        {"replaced by content", ado::Variant(content), true, 1, content},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& field = NewRow(c.value);
        files.files[kFile] = old;
        EXPECT_EQ(db.ImageDBLoad(field, kFile, c.update), c.result);
        const auto found = files.files.find(kFile);
        EXPECT_EQ(found == files.files.end() ? std::nullopt : std::optional(found->second), c.file);
    }
}

TEST_F(Files, FailuresGiveMinusOneLeaveTheFieldAsItWasAndAFileOver2GiBIsNotRead) {
    auto& field = NewRow(ado::Variant::MakeNull());
    EXPECT_EQ(db.ImageDBSave(field, u"C:\\missing.exe"), -1);
    files.files[kFile] = PatternBytes(10);
    files.unreadable = true;
    EXPECT_EQ(db.ImageDBSave(field, kFile), -1);
    files.unreadable = false;
    for (const auto& [size, reads] : {std::pair{std::uint64_t{2147483648u}, false},
                                      std::pair{std::uint64_t{2147483647u}, true}}) {
        SCOPED_TRACE(size);
        files.sizeToTell = size;  // the reader claims more than it holds
        files.blockReads.clear();
        EXPECT_EQ(db.ImageDBSave(field, kFile), -1);  // the short read fails the other
        EXPECT_EQ(!files.blockReads.empty(), reads);
    }
    EXPECT_TRUE(field.Value().IsNull());
    files.sizeToTell.reset();
    files.files.clear();
    auto& text = NewRow(ado::Variant(u"text, not bytes"), u"note");
    EXPECT_EQ(db.ImageDBLoad(text, kFile), -1);
    auto& bytes = NewRow(ado::Variant(PatternBytes(5)));
    files.locked = true;
    EXPECT_EQ(db.ImageDBLoad(bytes, kFile), -1);  // cannot write
    files.files[kFile] = PatternBytes(3);
    EXPECT_EQ(db.ImageDBLoad(bytes, kFile, true), -1);  // cannot delete
    files.locked = false;
    rows->Close();
    EXPECT_EQ(db.ImageDBSave(bytes, kFile), -1);  // the field refuses the append
    files.files.clear();
    EXPECT_EQ(db.ImageDBLoad(bytes, kFile), -1);  // nor can it be read
    EXPECT_FALSE(files.FileExists(kFile));
    EXPECT_TRUE(db.ErrorDesc.empty());
}

}  // namespace
}  // namespace orvitex::db

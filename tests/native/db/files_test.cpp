#include <gtest/gtest.h>

#include "SqliteFixture.h"

namespace orvitex::db {
namespace {

using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::PatternBytes;
using testing::RecordingField;

const std::u16string kFile = u"C:\\오르비설치\\setup.exe";

class Files : public ::testing::Test {
protected:
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db{ado::Environment::Create(), ui, files};
    RecordingField field;
};

TEST_F(Files, SaveAppendsWholeChunksThenTheRest) {
    struct Case {
        const char* name;
        std::size_t length;
        std::vector<std::size_t> chunks;
    };
    const Case cases[] = {
        {"empty file", 0, {}},
        {"one byte", 1, {1}},
        {"one chunk exactly", 32768, {32768}},
        {"one byte short of two", 65535, {32768, 32767}},
        {"two chunks and a byte", 65537, {32768, 32768, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        field = RecordingField{};
        field.value = ado::Variant(ado::Bytes{std::byte{9}});  // replaced, not appended to
        const auto content = PatternBytes(c.length);
        files.files[kFile] = content;
        files.blockReads.clear();
        EXPECT_EQ(db.ImageDBSave(field, kFile), static_cast<std::int32_t>(c.length));
        EXPECT_EQ(field.appendedSizes, c.chunks);
        EXPECT_EQ(files.blockReads, c.chunks);  // never the whole file at once
        EXPECT_EQ(field.reserved, static_cast<std::int64_t>(c.length));
        if (c.length > 0) {
            EXPECT_EQ(*field.value.ToBytes(), content);
        }
    }
}

TEST_F(Files, SaveFailuresLeaveTheFieldAsItWas) {
    EXPECT_EQ(db.ImageDBSave(field, u"C:\\missing.exe"), -1);
    EXPECT_TRUE(field.appendedSizes.empty());
    EXPECT_TRUE(field.value.IsNull());

    files.files[kFile] = PatternBytes(10);
    files.unreadable = true;
    EXPECT_EQ(db.ImageDBSave(field, kFile), -1);
    files.unreadable = false;

    field.failChunks = true;
    EXPECT_EQ(db.ImageDBSave(field, kFile), -1);
    EXPECT_TRUE(field.value.IsNull());
    EXPECT_TRUE(db.ErrorDesc.empty());
}

TEST_F(Files, SaveRefusesAFileOver2GiBBeforeReadingIt) {
    files.files[kFile] = PatternBytes(10);  // the reader claims more than it holds
    for (const auto& [size, reads] : {std::pair{std::uint64_t{2147483648u}, false},
                                      std::pair{std::uint64_t{2147483647u}, true}}) {
        SCOPED_TRACE(size);
        files.sizeToTell = size;
        files.blockReads.clear();
        EXPECT_EQ(db.ImageDBSave(field, kFile), -1);  // the short read fails the other
        EXPECT_EQ(!files.blockReads.empty(), reads);
    }
}

TEST_F(Files, LoadLeavesAnExistingFileUnlessAskedToReplaceIt) {
    const auto old = PatternBytes(10, 1);
    struct Case {
        const char* name;
        ado::Variant value;
        bool update;
        std::int32_t result;
        bool fileKept;
        std::size_t chunkCalls;
    };
    const Case cases[] = {
        {"kept, Null field", ado::Variant::MakeNull(), false, 1, true, 0},
        {"kept, full field", ado::Variant(PatternBytes(5)), false, 1, true, 0},
        {"replaced by Null", ado::Variant::MakeNull(), true, 0, false, 0},
        {"replaced by nothing", ado::Variant(ado::Bytes{}), true, 0, false, 0},
        {"replaced by content", ado::Variant(PatternBytes(5)), true, 1, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        field = RecordingField{};
        field.value = c.value;
        files.files[kFile] = old;
        EXPECT_EQ(db.ImageDBLoad(field, kFile, c.update), c.result);
        EXPECT_EQ(files.FileExists(kFile), c.fileKept);
        EXPECT_EQ(field.chunkRequests.size(), c.chunkCalls);
        if (c.fileKept && !c.update) {
            EXPECT_EQ(files.files[kFile], old);
        }
        if (c.fileKept && c.update) {
            EXPECT_EQ(files.files[kFile], *c.value.ToBytes());
        }
    }
}

TEST_F(Files, LoadWritesTheWholeFieldInOneChunk) {
    const auto content = PatternBytes(100000);
    field.value = ado::Variant(content);
    EXPECT_EQ(db.ImageDBLoad(field, kFile), 1);
    EXPECT_EQ(field.chunkRequests, (std::vector<std::int64_t>{100000}));
    EXPECT_EQ(files.files.at(kFile), content);
}

TEST_F(Files, LoadFailuresGiveMinusOne) {
    field.value = ado::Variant(PatternBytes(5));
    files.files[kFile] = PatternBytes(3);
    files.locked = true;
    EXPECT_EQ(db.ImageDBLoad(field, kFile, true), -1);  // cannot delete
    files.files.clear();
    EXPECT_EQ(db.ImageDBLoad(field, kFile), -1);  // cannot write
    files.locked = false;
    field.failChunks = true;
    EXPECT_EQ(db.ImageDBLoad(field, kFile), -1);
    field.failChunks = false;
    field.value = ado::Variant(u"text, not bytes");
    EXPECT_EQ(db.ImageDBLoad(field, kFile), -1);
    EXPECT_FALSE(files.FileExists(kFile));
}

}  // namespace
}  // namespace orvitex::db

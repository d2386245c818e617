#include <gtest/gtest.h>

#include "SqliteFixture.h"

namespace orvitex::db {
namespace {

using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::SqliteTest;

class Commands : public SqliteTest {
protected:
    void SetUp() override {
        Connect();
        Sql(u"CREATE TABLE 환자(번호 INTEGER, 이름 TEXT)");
    }
    ado::Parameters& Parameters() { return db.sCommand->GetParameters(); }
};

TEST_F(Commands, ParameterKindsDecideTypeSizeAndPrecision) {
    struct Case {
        const char* name;
        std::int32_t pType;
        ado::Variant value;
        std::int32_t pSize;
        std::int32_t type;
        std::int64_t size;
        std::uint8_t precision, scale;  // 0, 0: not set
    };
    const Case cases[] = {
        {"text by its length", 0, u"abcd", 0, ado::adVarWChar, 4, 0, 0},
        {"Hangul text counts UTF-16 units", 0, u"오르비", 0, ado::adVarWChar, 3, 0, 0},
        {"empty text gets one", 0, u"", 0, ado::adVarWChar, 1, 0, 0},
        {"Empty value gets one", 0, ado::Variant(), 0, ado::adVarWChar, 1, 0, 0},
        {"explicit size wins", 0, u"abc", 50, ado::adVarWChar, 50, 0, 0},
        {"number as text", 0, std::int32_t{12345}, 0, ado::adVarWChar, 5, 0, 0},
        {"integer", 1, std::int32_t{7}, 50, ado::adInteger, 0, 0, 0},
        {"money", 2, 1.25, 50, ado::adDecimal, 0, 8, 2},
        {"date", 3, ado::DateTime{2018, 1, 23, 14, 5, 9, 0}, 50, ado::adDate, 0, 0, 0},
        {"precise decimal", 4, 3.1415926, 50, ado::adDecimal, 0, 20, 7},
        {"object", 9, ado::Variant(), 50, ado::adIUnknown, 0, 0, 0},
        {"unknown kind", 5, ado::Variant(), 50, ado::adEmpty, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db.CommandParaClear();
        ASSERT_EQ(db.CommandAppendPara(u"p", c.value, c.pType, ado::adParamInput, c.pSize), 0);
        ASSERT_EQ(Parameters().Count(), 1);
        const auto parameter = Parameters().Item(u"p");
        EXPECT_EQ(parameter, db.sParameter);
        EXPECT_EQ(parameter->Type(), c.type);
        EXPECT_EQ(parameter->Size(), c.size);
        if (c.precision != 0) {
            EXPECT_EQ(parameter->Precision(), c.precision);
            EXPECT_EQ(parameter->NumericScale(), c.scale);
        }
        EXPECT_EQ(parameter->Value(), c.value);
    }
}

TEST_F(Commands, TheSameNameTwiceOnlyReplacesTheValue) {
    ASSERT_EQ(db.CommandAppendPara(u"이름", u"김", 0, ado::adParamInput, 10), 0);
    ASSERT_EQ(db.CommandAppendPara(u"이름", std::int32_t{5}, 1, ado::adParamOutput, 99), 0);
    ASSERT_EQ(Parameters().Count(), 1);
    const auto parameter = Parameters().Item(std::int32_t{0});
    EXPECT_EQ(parameter->Type(), ado::adVarWChar);
    EXPECT_EQ(parameter->Direction(), ado::adParamInput);
    EXPECT_EQ(parameter->Size(), 10);
    EXPECT_EQ(parameter->Value(), ado::Variant(std::int32_t{5}));
}

TEST_F(Commands, ATextParameterWithoutAValueFailsAndAddsNothing) {
    ASSERT_EQ(db.CommandAppendPara(u"a", u"x"), 0);
    EXPECT_EQ(db.CommandAppendPara(u"b", ado::Variant::MakeNull()), -1000);
    EXPECT_EQ(Parameters().Count(), 1);
    EXPECT_TRUE(db.ErrorDesc.empty());
}

TEST_F(Commands, RunsWithParametersAndKeepsThemOnlyWhenAsked) {
    ASSERT_EQ(db.CommandAppendPara(u"번호", std::int32_t{1}, 1), 0);
    ASSERT_EQ(db.CommandAppendPara(u"이름", u"홍길동"), 0);
    EXPECT_EQ(db.CommandExcute(u"INSERT INTO 환자 VALUES (?, ?)", false), 1);
    EXPECT_EQ(Parameters().Count(), 2);
    EXPECT_EQ(db.CommandExcute(), 1);  // the same statement with the same parameters
    EXPECT_EQ(Parameters().Count(), 0);
    EXPECT_EQ(Count(u"환자 WHERE 이름 = '홍길동' AND 번호 = 1"), 2);
    EXPECT_TRUE(db.sCommand->Prepared());
    EXPECT_EQ(db.sCommand->CommandType(), ado::adCmdText);
}

TEST_F(Commands, AFailedRunRecordsItsErrorAndAlwaysClearsTheParameters) {
    const std::u16string statement = u"INSERT INTO 없는표 VALUES (?)";
    // What the layer reports for this statement, taken from a command of its own.
    auto probe = ado::Command::Create();
    probe->SetActiveConnection(db.sConnect);
    probe->SetCommandText(statement);
    std::u16string expected;
    try {
        const std::vector<ado::Variant> values{std::int32_t{1}};
        static_cast<void>(probe->Execute(nullptr, &values));
        FAIL() << "the statement was accepted";
    } catch (const ado::Error& error) {
        expected = u"[clsDBMng/CommandExcute] " + ToText(std::int64_t{error.Number()}) + u"-" +
                   error.Source() + u"/" + error.Description() + u"#" + statement;
    }
    ASSERT_EQ(db.CommandAppendPara(u"n", std::int32_t{1}, 1), 0);
    EXPECT_EQ(db.CommandExcute(statement, false), -1000);
    EXPECT_EQ(ToUtf8(db.ErrorDesc), ToUtf8(expected));
    EXPECT_EQ(Parameters().Count(), 0);

    ASSERT_EQ(db.CommandAppendPara(u"n", std::int32_t{1}, 1), 0);
    std::shared_ptr<ado::Recordset> rows = ado::Recordset::Create();
    const auto callers = rows;
    EXPECT_EQ(db.CommandExcuteRst(statement, &rows, false), -1000);
    EXPECT_EQ(rows, callers);
    EXPECT_TRUE(db.ErrorDesc.empty());
    EXPECT_EQ(Parameters().Count(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Commands, CommandExcuteRstHandsBackTheRows) {
    Sql(u"INSERT INTO 환자 VALUES (1, '가'), (2, '나'), (3, '다')");
    ASSERT_EQ(db.CommandAppendPara(u"n", std::int32_t{2}, 1), 0);
    std::shared_ptr<ado::Recordset> rows;
    static_cast<void>(
        db.CommandExcuteRst(u"SELECT 이름 FROM 환자 WHERE 번호 >= ? ORDER BY 번호", &rows));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->RecordCount(), 2);
    EXPECT_EQ(rows->GetFields().Item(0).Value(), ado::Variant(u"나"));
    EXPECT_EQ(Parameters().Count(), 0);
}

TEST_F(Commands, ParameterLookupAndClearing) {
    db.ErrorDesc = u"earlier";
    EXPECT_FALSE(db.GetParameter(u"none"));
    EXPECT_FALSE(db.GetParameter(std::int32_t{3}));
    EXPECT_EQ(db.ErrorDesc, u"earlier");
    db.CommandParaClear();  // nothing to delete
    for (const auto* name : {u"a", u"b", u"c"})
        ASSERT_EQ(db.CommandAppendPara(name, name), 0);
    const auto kept = db.GetParameter(u"b");
    ASSERT_TRUE(kept);
    db.CommandParaClear();
    EXPECT_EQ(Parameters().Count(), 0);
    EXPECT_EQ(kept->Value(), ado::Variant(u"b"));  // still usable after removal
}

TEST_F(Commands, GetCommandMakesASeparateCommandOnTheMainConnection) {
    ASSERT_EQ(db.CommandAppendPara(u"a", u"x"), 0);
    const auto own = db.GetCommand(u"SELECT 1");
    ASSERT_TRUE(own);
    EXPECT_NE(own, db.sCommand);
    EXPECT_EQ(own->CommandType(), ado::adCmdText);
    EXPECT_EQ(own->CommandText(), u"SELECT 1");
    EXPECT_EQ(own->ActiveConnection(), db.sConnect);
    EXPECT_EQ(own->GetParameters().Count(), 0);
    EXPECT_EQ(db.GetCommand(u"sp", ado::adCmdStoredProc)->CommandType(), ado::adCmdStoredProc);
}

TEST(CommandsBeforeConnecting, FailOrPassTheirSecondFailureToTheCaller) {
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db(ado::Environment::Create(), ui, files);
    EXPECT_EQ(db.CommandAppendPara(u"a", u"x"), -1000);
    EXPECT_FALSE(db.GetParameter(u"a"));
    EXPECT_THROW(db.CommandParaClear(), ado::Error);
    EXPECT_THROW(static_cast<void>(db.CommandExcute(u"SELECT 1")), ado::Error);
    EXPECT_THROW(static_cast<void>(db.CommandExcuteRst(u"SELECT 1")), ado::Error);
    const auto own = db.GetCommand(u"SELECT 1");
    ASSERT_TRUE(own);
    EXPECT_FALSE(own->ActiveConnection());
}

}  // namespace
}  // namespace orvitex::db

#include <gtest/gtest.h>

#include "SqliteFixture.h"

namespace orvitex::db {
namespace {

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
        {"Hangul text counts UTF-16 units", 0, u"오르비", 0, ado::adVarWChar, 3, 0, 0},
        {"empty text gets one", 0, u"", 0, ado::adVarWChar, 1, 0, 0},
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

TEST_F(Commands, ParametersAreReplacedByNameRunAndClearedUnlessKept) {
    EXPECT_FALSE(db.GetParameter(u"none"));
    EXPECT_FALSE(db.GetParameter(std::int32_t{3}));
    db.CommandParaClear();  // nothing to delete
    ASSERT_EQ(db.CommandAppendPara(u"번호", std::int32_t{1}, 1), 0);
    ASSERT_EQ(db.CommandAppendPara(u"이름", u"김", 0, ado::adParamInput, 2), 0);
    // The same name only replaces the value; a Null value adds nothing.
    ASSERT_EQ(db.CommandAppendPara(u"이름", u"홍길동", 1, ado::adParamOutput, 99), 0);
    EXPECT_EQ(db.CommandAppendPara(u"b", ado::Variant::MakeNull()), -1000);
    EXPECT_TRUE(db.ErrorDesc.empty());
    const auto kept = db.GetParameter(std::int32_t{1});
    EXPECT_EQ(kept->Direction(), ado::adParamInput);
    EXPECT_EQ(kept->Size(), 2);  // shorter than the value, which must not be cut
    EXPECT_EQ(db.CommandExcute(u"INSERT INTO 환자 VALUES (?, ?)", false), 1);
    EXPECT_EQ(Parameters().Count(), 2);
    ASSERT_EQ(db.CommandAppendPara(u"번호", std::int32_t{2}, 1), 0);
    ASSERT_EQ(db.CommandAppendPara(u"이름", u""), 0);
    EXPECT_EQ(db.CommandExcute(), 1);  // the prepared statement again, with new values
    EXPECT_EQ(Parameters().Count(), 0);
    EXPECT_EQ(kept->Value(), ado::Variant(u""));  // still usable after removal
    EXPECT_TRUE(db.sCommand->Prepared());
    EXPECT_EQ(db.sCommand->CommandType(), ado::adCmdText);
    Sql(u"INSERT INTO 환자 VALUES (3, '나')");
    ASSERT_EQ(db.CommandAppendPara(u"n", std::int32_t{1}, 1), 0);
    std::shared_ptr<ado::Recordset> rows;
    static_cast<void>(
        db.CommandExcuteRst(u"SELECT 이름 FROM 환자 WHERE 번호 >= ? ORDER BY 번호 DESC", &rows));
    ASSERT_EQ(rows->RecordCount(), 3);
    for (const char16_t* name : {u"나", u"", u"홍길동"}) {
        EXPECT_EQ(rows->GetFields().Item(0).Value(), ado::Variant(name));
        rows->MoveNext();
    }
    EXPECT_EQ(Parameters().Count(), 0);
}

// A password masked wherever it occurred turned "-2147217900" into "-2***47217900".
TEST_F(Commands, AFailedRunRecordsTheDriversWordsUnmaskedAndClearsTheParameters) {
    const std::u16string statement = u"INSERT INTO 없는표 VALUES (?)";
    ASSERT_EQ(db.ConnectServerDB(u"127.0.0.1", u"sa", u"1", u"orvitex"), 1);
    ASSERT_EQ(db.CommandAppendPara(u"n", std::int32_t{1}, 1), 0);
    EXPECT_EQ(db.CommandExcute(statement, false), -1000);
    const auto text = ToUtf8(db.ErrorDesc);
    EXPECT_EQ(text.rfind("[clsDBMng/CommandExcute] -2147217900-ADODB.Command/", 0), 0u) << text;
    EXPECT_NE(text.find("no such table: 없는표"), std::string::npos) << text;
    EXPECT_TRUE(db.ErrorDesc.ends_with(u"#" + statement)) << text;
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

TEST_F(SqliteTest, CommandsBeforeConnectingFailOrPassTheirSecondFailureToTheCaller) {
    EXPECT_EQ(db.CommandAppendPara(u"a", u"x"), -1000);
    EXPECT_FALSE(db.GetParameter(u"a"));
    EXPECT_THROW(db.CommandParaClear(), ado::Error);
    EXPECT_THROW(static_cast<void>(db.CommandExcute(u"SELECT 1")), ado::Error);
    EXPECT_THROW(static_cast<void>(db.CommandExcuteRst(u"SELECT 1")), ado::Error);
    EXPECT_FALSE(db.GetCommand(u"SELECT 1")->ActiveConnection());
}

}  // namespace
}  // namespace orvitex::db

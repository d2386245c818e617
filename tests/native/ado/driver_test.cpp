#include <gmock/gmock.h>

#include <functional>

#include "DriverFixture.h"
#include "db/ado/Error.h"

namespace {

using namespace orvitex::ado;
using orvitex::ToUtf8;
using orvitex::ado::testing::DriverTest;
using orvitex::ado::testing::ErrorNumberOf;
using orvitex::ado::testing::Pattern;

// Each row binds one marker of the given kind and reads its column back: as the same
// value where `stored` is empty, else as that text.
TEST_P(DriverTest, ParameterKindsBindTheirValuesAndFieldsReadThemBack) {
    Exec(
        u"CREATE TABLE kinds (id INTEGER PRIMARY KEY, i INTEGER, b BIGINT, f DOUBLE PRECISION, "
        u"n NUMERIC(12,3), t VARCHAR(40), ts TIMESTAMP, bl " +
        blob_ +
        u", txt VARCHAR(50), num INTEGER, money NUMERIC(8,2), rate NUMERIC(20,7), stamp "
        u"TIMESTAMP, other VARCHAR(20))");
    const struct {
        const char* name;
        std::int32_t type;
        std::uint8_t precision, scale;
        Variant value;
        const char16_t* stored;
    } kinds[] = {
        {"adInteger", adInteger, 0, 0, Variant(std::int32_t{-2147483647}), u""},
        {"adBigInt", adBigInt, 0, 0, Variant(std::int64_t{9000000000123}), u""},
        {"adDouble", adDouble, 0, 0, Variant(0.125), u""},
        {"adDecimal", adDecimal, 12, 3, Variant(Decimal{u"-12345.678"}), u"-12345.678"},
        {"adVarWChar", adVarWChar, 0, 0, Variant(u"오르비 text"), u""},
        {"adDate", adDate, 0, 0, Variant(DateTime{2018, 1, 23, 14, 5, 9, 123}), u""},
        {"adLongVarBinary", adLongVarBinary, 0, 0,
         Variant(Bytes{std::byte{0}, std::byte{0xFF}, std::byte{0x27}, std::byte{0}}), u""},
        {"adVarWChar from a number", adVarWChar, 0, 0, Variant(std::int32_t{42}), u"42"},
        {"adInteger from text", adInteger, 0, 0, Variant(u" 17 "), u"17"},
        {"adDecimal 8/2 from a double", adDecimal, 8, 2, Variant(1234.5), u"1234.5"},
        {"adDecimal 20/7 from text", adDecimal, 20, 7, Variant(u"0.1234567"), u"0.1234567"},
        {"adDate from text", adDate, 0, 0, Variant(u"2018-01-23 14:05:09"), u"2018-01-23 14:05:09"},
        {"adIUnknown takes the value's kind", adIUnknown, 0, 0, Variant(u"free"), u"free"},
    };
    auto command =
        CommandFor(u"INSERT INTO kinds VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    command->GetParameters().Append(
        command->CreateParameter(u"id", adInteger, adParamInput, 0, Variant(std::int32_t{1})));
    for (const auto& kind : kinds) {
        auto parameter = command->CreateParameter(orvitex::FromUtf8(kind.name), kind.type,
                                                  adParamInput, 0, kind.value);
        parameter->SetPrecision(kind.precision);
        parameter->SetNumericScale(kind.scale);
        command->GetParameters().Append(parameter);
    }
    std::int32_t affected = 0;
    (void)command->Execute(&affected);
    EXPECT_EQ(affected, 1);
    std::vector<Variant> nulls(std::size(kinds) + 1, Variant::MakeNull());
    nulls[0] = Variant(std::int32_t{2});
    (void)command->Execute(nullptr, &nulls);

    auto recordset = Query(u"SELECT * FROM kinds ORDER BY id");
    auto& fields = recordset->GetFields();
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        SCOPED_TRACE(kinds[i].name);
        const auto value = fields[static_cast<std::int32_t>(i + 1)].Value();
        if (*kinds[i].stored) {
            EXPECT_EQ(ToUtf8(value.ToText()), ToUtf8(kinds[i].stored));
        } else {
            EXPECT_EQ(value, kinds[i].value);
        }
    }
    EXPECT_EQ(fields[u"BL"].ActualSize(), 4);
    EXPECT_EQ(fields[u"t"].ActualSize(), 2 * 8);
    EXPECT_THAT(fields[u"bl"].Type(), ::testing::AnyOf(adBinary, adVarBinary, adLongVarBinary));
    recordset->MoveNext();
    for (std::int32_t i = 1; i < fields.Count(); ++i) {
        SCOPED_TRACE(ToUtf8(fields[i].Name()));
        EXPECT_TRUE(fields[i].Value().IsNull());
        EXPECT_EQ(fields[i].ActualSize(), 0);
    }
    command->GetParameters().Item(Variant(u"adInteger from text"))->SetValue(Variant(u"seven"));
    EXPECT_EQ(ErrorNumberOf([&] { (void)command->Execute(); }), kTypeMismatch);
}

TEST_P(DriverTest, EmptyResultHasNoCurrentRecordAndAStatementWithoutRowsNoRecordset) {
    Exec(u"CREATE TABLE t (id INTEGER, name VARCHAR(10))");
    auto recordset = Query(u"SELECT id, name FROM t");
    EXPECT_EQ(recordset->State(), adStateOpen);
    EXPECT_TRUE(recordset->Eof() && recordset->Bof());
    EXPECT_EQ(recordset->GetFields().Count(), 2);
    auto& field = recordset->GetFields()[u"name"];
    EXPECT_EQ(ErrorNumberOf([&] { (void)field.Value(); }), adErrNoCurrentRecord);
    EXPECT_EQ(ErrorNumberOf([&] { recordset->MoveNext(); }), adErrNoCurrentRecord);
    EXPECT_EQ(ErrorNumberOf([&] { (void)recordset->GetRows(); }), adErrNoCurrentRecord);

    auto insert = Query(u"INSERT INTO t VALUES (1, 'a')");
    EXPECT_EQ(insert->State(), adStateClosed);
    EXPECT_EQ(Scalar(u"SELECT COUNT(*) FROM t").ToInt32(), 1);
}

// Run under the address sanitizer: a field used to point into the freed recordset.
TEST_P(DriverTest, AHeldFieldReadsItsRowAfterTheRecordsetIsReleased) {
    Exec(u"CREATE TABLE t (name VARCHAR(10))");
    Exec(u"INSERT INTO t VALUES ('오르비')");
    std::shared_ptr<Field> held = Query(u"SELECT name FROM t")->GetFields().Hold(u"name");
    EXPECT_EQ(held->Value(), Variant(u"오르비"));
    EXPECT_EQ(held->ActualSize(), 6);
}

TEST_P(DriverTest, RollbackUndoesCommitKeepsAndCloseRollsBack) {
    Exec(u"CREATE TABLE t (id INTEGER)");
    const auto count = [&] { return Scalar(u"SELECT COUNT(*) FROM t").ToInt32(); };
    EXPECT_EQ(connection_->BeginTrans(), 1);
    Exec(u"INSERT INTO t VALUES (1)");
    EXPECT_EQ(count(), 1);
    connection_->RollbackTrans();
    EXPECT_EQ(count(), 0);
    (void)connection_->BeginTrans();
    Exec(u"INSERT INTO t VALUES (2)");
    connection_->CommitTrans();
    EXPECT_EQ(ErrorNumberOf([&] { connection_->CommitTrans(); }), kProviderError);
    EXPECT_EQ(ErrorNumberOf([&] { connection_->RollbackTrans(); }), kProviderError);
    Exec(u"INSERT INTO t VALUES (3)");  // auto-commit is back on
    (void)connection_->BeginTrans();
    Exec(u"INSERT INTO t VALUES (4)");
    connection_->Close();
    EXPECT_EQ(NewConnection()->Execute(u"SELECT COUNT(*) FROM t")->GetFields()[0].Value().ToInt32(),
              2);
}

TEST_P(DriverTest, UseOfClosedObjectsFailsWith3704) {
    auto never = Recordset::Create();
    auto closedConnection = Connection::Create(environment_);
    auto command = Command::Create();
    command->SetActiveConnection(closedConnection);
    command->SetCommandText(u"SELECT 1");
    Exec(u"CREATE TABLE t (id INTEGER)");
    Exec(u"INSERT INTO t VALUES (1)");
    auto closed = Query(u"SELECT id FROM t");
    auto& field = closed->GetFields()[0];
    closed->Close();
    const struct {
        const char* name;
        std::function<void()> action;
    } cases[] = {
        {"Recordset.EOF", [&] { (void)never->Eof(); }},
        {"Recordset.Fields", [&] { (void)never->GetFields(); }},
        {"Recordset.Close twice", [&] { closed->Close(); }},
        {"Recordset.Open", [&] { never->Open(u"SELECT 1", closedConnection); }},
        {"a field of a closed recordset", [&] { (void)field.Value(); }},
        {"Connection.Execute", [&] { (void)closedConnection->Execute(u"SELECT 1"); }},
        {"Connection.BeginTrans", [&] { (void)closedConnection->BeginTrans(); }},
        {"Connection.Close", [&] { closedConnection->Close(); }},
        {"Command.Execute", [&] { (void)command->Execute(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorNumberOf(c.action), adErrObjectClosed);
    }
}

// Each value used to keep the whole first-piece buffer (8 KiB of text, 64 KiB of bytes).
TEST_P(DriverTest, LongValuesAreKeptAtTheirOwnSizeAndReadWholeOrInChunks) {
    const std::size_t sizes[] = {3, 4095, 4096, 4097, 65535, 65536, 65537, 3 * 1024 * 1024 + 3};
    CreateLongValues(sizes);
    auto recordset = Query(u"SELECT body, data FROM t ORDER BY id");
    auto& text = recordset->GetFields()[0];
    auto& bytes = recordset->GetFields()[1];
    for (const std::size_t size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_EQ(*text.Value().As<std::u16string>(), std::u16string(size, u'가'));
        EXPECT_LE(text.Value().As<std::u16string>()->capacity(),
                  std::max<std::size_t>(size + 1, 15));
        EXPECT_EQ(*bytes.Value().ToBytes(), Pattern(size));
        EXPECT_EQ(bytes.Value().ToBytes()->capacity(), size);
        recordset->MoveNext();
    }
    recordset = Query(u"SELECT body, data FROM t WHERE id = 7");
    auto& longText = recordset->GetFields()[0];
    auto& longBytes = recordset->GetFields()[1];
    EXPECT_EQ(longText.ActualSize(), static_cast<std::int64_t>(sizes[7] * 2));
    std::u16string joinedText;
    for (Variant piece = longText.GetChunk(4096); !piece.IsNull(); piece = longText.GetChunk(4096))
        joinedText += piece.ToText();
    EXPECT_EQ(joinedText, std::u16string(sizes[7], u'가'));
    const auto whole = longBytes.GetChunk(longBytes.ActualSize());
    EXPECT_EQ(whole.ToBytes().get(), longBytes.Value().ToBytes().get());  // no copy
    EXPECT_TRUE(longBytes.GetChunk(1).IsNull());                          // past the end
    recordset->MoveFirst();  // chunks start again on a newly positioned row
    Bytes joined;
    for (Variant piece = longBytes.GetChunk(32768); !piece.IsNull();
         piece = longBytes.GetChunk(32768))
        joined.insert(joined.end(), piece.ToBytes()->begin(), piece.ToBytes()->end());
    EXPECT_EQ(joined, Pattern(sizes[7]));
}

// A caller tells one failure from another by the server's own number, not by its text.
TEST_P(DriverTest, AFailureCarriesEachDiagnosticRecordWithTheServersOwnNumber) {
    Exec(u"CREATE TABLE t (id INTEGER PRIMARY KEY)");
    Exec(u"INSERT INTO t VALUES (1)");
    try {
        Exec(u"INSERT INTO t VALUES (1)");
        ADD_FAILURE() << "a second row with the same key was accepted";
    } catch (const Error& error) {
        ASSERT_EQ(error.Diagnostics().size(), 1u);
        const Diagnostic& record = error.Diagnostics()[0];
        EXPECT_EQ(record.message, error.Description());
        EXPECT_EQ(record.sqlState, error.SqlState());
        if (GetParam() == "SQLite3")
            EXPECT_EQ(record.nativeError, 19);  // SQLITE_CONSTRAINT
        else
            EXPECT_EQ(record.sqlState, u"23505");  // unique_violation
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverTest, ::testing::Values("SQLite3", "PostgreSQL"),
                         [](const auto& row) { return row.param; });

}  // namespace

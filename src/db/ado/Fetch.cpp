#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include "db/ado/Numbers.h"
#include "db/ado/Statement.h"

namespace orvitex::ado::detail {

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";
constexpr std::size_t kFirstPiece = 64 * 1024;  // bytes
constexpr std::size_t kFirstText = 4096;        // characters

template <typename T>
std::optional<T> ReadFixed(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                           SQLSMALLINT cType) {
    T value{};
    SQLLEN indicator = 0;
    Check(SQLGetData(statement, column, cType, &value, sizeof value, &indicator), connection,
          SQL_HANDLE_STMT, statement, kSource);
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    return value;
}

// A value is read into the reused scratch and stored at its own size. A longer one gets
// a buffer of its own once its length is known, so that its bytes are written in place,
// never copied from piece to piece. `unit` is the terminator the driver adds (0 or 1).
template <typename Buffer>
std::optional<Buffer> ReadPieces(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                                 SQLSMALLINT cType, Buffer& scratch, std::size_t first,
                                 std::size_t terminator) {
    using Unit = typename Buffer::value_type;
    if (scratch.size() < first)
        scratch.resize(first);
    Buffer grown;
    Buffer* target = &scratch;
    bool guessed = false;
    std::size_t used = 0;
    for (;;) {
        Buffer& buffer = *target;
        const std::size_t room = buffer.size() - used;  // in units, terminator included
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, column, cType, buffer.data() + used,
                                        static_cast<SQLLEN>(room * sizeof(Unit)), &indicator);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, connection, SQL_HANDLE_STMT, statement, kSource);
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        std::size_t needed;
        if (indicator == SQL_NO_TOTAL) {
            used += room - terminator;
            needed = buffer.size() * 2;
            guessed = true;
        } else {
            const auto remaining = static_cast<std::size_t>(indicator) / sizeof(Unit);
            if (remaining <= room - terminator) {
                used += remaining;
                break;
            }
            used += room - terminator;
            needed = used + (remaining - (room - terminator)) + terminator;
        }
        grown.reserve(needed);  // exactly: resize alone would double the allocation
        if (target == &scratch) {
            grown.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(used));
            target = &grown;
        }
        grown.resize(needed);
    }
    if (target == &scratch)
        return Buffer(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(used));
    grown.resize(used);
    if (guessed)
        grown.shrink_to_fit();
    return std::optional<Buffer>(std::move(grown));
}

Variant ReadBinary(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                   FetchScratch& scratch) {
    auto bytes =
        ReadPieces(connection, statement, column, SQL_C_BINARY, scratch.bytes, kFirstPiece, 0);
    if (!bytes)
        return Variant::MakeNull();
    return Variant(std::make_shared<const Bytes>(std::move(*bytes)));
}

Variant ReadText(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                 FetchScratch& scratch) {
    auto text = ReadPieces(connection, statement, column, SQL_C_WCHAR, scratch.text, kFirstText, 1);
    if (!text)
        return Variant::MakeNull();
    return Variant(std::move(*text));
}

Variant ReadInteger(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column) {
    // Read wide: SQLite keeps any integer in an INTEGER column.
    const auto value = ReadFixed<std::int64_t>(connection, statement, column, SQL_C_SBIGINT);
    if (!value)
        return Variant::MakeNull();
    if (*value >= std::numeric_limits<std::int32_t>::min() &&
        *value <= std::numeric_limits<std::int32_t>::max()) {
        return Variant(static_cast<std::int32_t>(*value));
    }
    return Variant(*value);
}

Variant ReadTimestamp(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column) {
    const auto value =
        ReadFixed<SQL_TIMESTAMP_STRUCT>(connection, statement, column, SQL_C_TYPE_TIMESTAMP);
    if (!value)
        return Variant::MakeNull();
    return Variant(DateTime{value->year, value->month, value->day, value->hour, value->minute,
                            value->second, static_cast<std::int32_t>(value->fraction / 1000000)});
}

Variant ReadTime(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column) {
    const auto value = ReadFixed<SQL_TIME_STRUCT>(connection, statement, column, SQL_C_TYPE_TIME);
    if (!value)
        return Variant::MakeNull();
    DateTime time;  // the date part of a time-only value is day zero
    time.hour = value->hour;
    time.minute = value->minute;
    time.second = value->second;
    return Variant(time);
}

Variant ReadDecimal(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                    FetchScratch& scratch) {
    Variant text = ReadText(connection, statement, column, scratch);
    if (text.IsNull())
        return text;
    if (auto canonical = CanonicalDecimal(*text.As<std::u16string>())) {
        return Variant(Decimal{*canonical});
    }
    return text;  // NaN and the like stay text
}

}  // namespace

std::int32_t AdoTypeOf(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_CHAR:
            return adChar;
        case SQL_VARCHAR:
            return adVarChar;
        case SQL_LONGVARCHAR:
            return adLongVarChar;
        case SQL_WCHAR:
            return adWChar;
        case SQL_WVARCHAR:
            return adVarWChar;
        case SQL_WLONGVARCHAR:
            return adLongVarWChar;
        case SQL_TINYINT:
            return adTinyInt;
        case SQL_SMALLINT:
            return adSmallInt;
        case SQL_INTEGER:
            return adInteger;
        case SQL_BIGINT:
            return adBigInt;
        case SQL_REAL:
            return adSingle;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return adDouble;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return adNumeric;
        case SQL_BIT:
            return adBoolean;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return adDBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return adDBTime;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return adDBTimeStamp;
        case SQL_BINARY:
            return adBinary;
        case SQL_VARBINARY:
            return adVarBinary;
        case SQL_LONGVARBINARY:
            return adLongVarBinary;
        case SQL_GUID:
            return adGUID;
        default:
            return adVarWChar;
    }
}

Variant ReadValue(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                  SQLSMALLINT sqlType) {
    FetchScratch scratch;
    return ReadValue(connection, statement, column, sqlType, scratch);
}

Variant ReadValue(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                  SQLSMALLINT sqlType, FetchScratch& scratch) {
    switch (sqlType) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
            return ReadInteger(connection, statement, column);
        case SQL_BIGINT: {
            const auto value =
                ReadFixed<std::int64_t>(connection, statement, column, SQL_C_SBIGINT);
            return value ? Variant(*value) : Variant::MakeNull();
        }
        case SQL_BIT: {
            const auto value = ReadFixed<unsigned char>(connection, statement, column, SQL_C_BIT);
            return value ? Variant(*value != 0) : Variant::MakeNull();
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: {
            const auto value = ReadFixed<double>(connection, statement, column, SQL_C_DOUBLE);
            return value ? Variant(*value) : Variant::MakeNull();
        }
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return ReadDecimal(connection, statement, column, scratch);
        case SQL_TYPE_DATE:
        case SQL_DATE:
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return ReadTimestamp(connection, statement, column);
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return ReadTime(connection, statement, column);
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return ReadBinary(connection, statement, column, scratch);
        default:
            return ReadText(connection, statement, column, scratch);
    }
}

}  // namespace orvitex::ado::detail

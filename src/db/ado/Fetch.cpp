#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "db/ado/Numbers.h"
#include "db/ado/Statement.h"

namespace orvitex::ado::detail {

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";
constexpr std::size_t kFirstPiece = 64 * 1024;  // bytes
constexpr std::size_t kFirstText = 4096;        // characters
constexpr std::size_t kLaterPiece = 64 * 1024;  // bytes: each driver call costs, for text a lot

template <typename T>
std::optional<T> ReadFixed(const HandleCheck& statement, SQLUSMALLINT column, SQLSMALLINT cType) {
    T value{};
    SQLLEN indicator = 0;
    statement(SQLGetData(statement.Handle(), column, cType, &value, sizeof value, &indicator));
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    return value;
}

// One SQLGetData of a long value into `room` units at data. `rest` is set when the driver
// told how many units are still to come; `terminator` is the one it adds (0 or 1).
struct Piece {
    bool null = false;
    bool done = false;
    std::size_t count = 0;
    std::optional<std::size_t> rest;
};

template <typename Unit>
Piece ReadPiece(const HandleCheck& statement, SQLUSMALLINT column, SQLSMALLINT cType, Unit* data,
                std::size_t room, std::size_t terminator) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement.Handle(), column, cType, data,
                                    static_cast<SQLLEN>(room * sizeof(Unit)), &indicator);
    if (rc == SQL_NO_DATA)
        return {.null = false, .done = true, .count = 0, .rest = std::nullopt};
    statement(rc);
    if (indicator == SQL_NULL_DATA)
        return {.null = true, .done = true, .count = 0, .rest = std::nullopt};
    const std::size_t fits = room - terminator;
    if (indicator == SQL_NO_TOTAL)
        return {.null = false, .done = false, .count = fits, .rest = std::nullopt};
    const auto remaining = static_cast<std::size_t>(indicator) / sizeof(Unit);
    if (remaining <= fits)
        return {.null = false, .done = true, .count = remaining, .rest = std::nullopt};
    return {.null = false, .done = false, .count = fits, .rest = remaining - fits};
}

// The first piece and the ones after it in one buffer with room for `capacity` units;
// each piece is released as soon as it is copied.
template <typename Buffer>
Buffer Joined(const Buffer& scratch, std::size_t head, std::vector<Buffer>& pieces,
              std::size_t capacity) {
    Buffer value;
    value.reserve(capacity);
    value.insert(value.end(), scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(head));
    for (auto& piece : pieces) {
        value.insert(value.end(), piece.begin(), piece.end());
        Buffer().swap(piece);
    }
    pieces.clear();
    return value;
}

// A value is read into the reused scratch and stored at its own size. Of a longer one
// whose length the driver tells, the rest is written in place into a buffer of that
// size. One whose length it cannot tell (SQL_NO_TOTAL) is read in pieces that never
// move and joined once: every byte is copied once, and the value's own buffer is never
// larger than the value and its terminator.
template <typename Buffer>
std::optional<Buffer> ReadPieces(const HandleCheck& statement, SQLUSMALLINT column,
                                 SQLSMALLINT cType, Buffer& scratch, std::size_t first,
                                 std::size_t terminator) {
    using Unit = typename Buffer::value_type;
    if (scratch.size() < first)
        scratch.resize(first);
    Piece piece = ReadPiece(statement, column, cType, scratch.data(), scratch.size(), terminator);
    const std::size_t head = piece.count;
    std::size_t read = head;
    std::vector<Buffer> pieces;
    while (!piece.null && !piece.done && !piece.rest) {
        Buffer& next = pieces.emplace_back(std::max(first, kLaterPiece / sizeof(Unit)), Unit{});
        piece = ReadPiece(statement, column, cType, next.data(), next.size(), terminator);
        next.resize(piece.count);
        read += piece.count;
    }
    if (piece.null)
        return std::nullopt;
    const std::size_t rest = piece.rest ? *piece.rest + terminator : 0;
    Buffer value = Joined(scratch, head, pieces, read + rest);
    while (!piece.done) {
        const std::size_t used = value.size();
        const std::size_t room =
            (piece.rest ? *piece.rest : kLaterPiece / sizeof(Unit)) + terminator;
        if (piece.rest)
            value.reserve(used + room);  // exactly: resize alone would double the allocation
        value.resize(used + room);
        piece = ReadPiece(statement, column, cType, value.data() + used, room, terminator);
        if (piece.null)
            return std::nullopt;
        value.resize(used + piece.count);
    }
    return std::optional<Buffer>(std::move(value));
}

Variant ReadBinary(const HandleCheck& statement, SQLUSMALLINT column, FetchScratch& scratch) {
    auto bytes = ReadPieces(statement, column, SQL_C_BINARY, scratch.bytes, kFirstPiece, 0);
    if (!bytes)
        return Variant::MakeNull();
    return Variant(std::make_shared<const Bytes>(std::move(*bytes)));
}

Variant ReadText(const HandleCheck& statement, SQLUSMALLINT column, FetchScratch& scratch) {
    auto text = ReadPieces(statement, column, SQL_C_WCHAR, scratch.text, kFirstText, 1);
    if (!text)
        return Variant::MakeNull();
    return Variant(std::move(*text));
}

Variant ReadInteger(const HandleCheck& statement, SQLUSMALLINT column) {
    // Read wide: SQLite keeps any integer in an INTEGER column.
    const auto value = ReadFixed<std::int64_t>(statement, column, SQL_C_SBIGINT);
    if (!value)
        return Variant::MakeNull();
    if (*value >= std::numeric_limits<std::int32_t>::min() &&
        *value <= std::numeric_limits<std::int32_t>::max()) {
        return Variant(static_cast<std::int32_t>(*value));
    }
    return Variant(*value);
}

Variant ReadTimestamp(const HandleCheck& statement, SQLUSMALLINT column) {
    const auto value = ReadFixed<SQL_TIMESTAMP_STRUCT>(statement, column, SQL_C_TYPE_TIMESTAMP);
    if (!value)
        return Variant::MakeNull();
    return Variant(DateTime{value->year, value->month, value->day, value->hour, value->minute,
                            value->second, static_cast<std::int32_t>(value->fraction / 1000000)});
}

Variant ReadTime(const HandleCheck& statement, SQLUSMALLINT column) {
    const auto value = ReadFixed<SQL_TIME_STRUCT>(statement, column, SQL_C_TYPE_TIME);
    if (!value)
        return Variant::MakeNull();
    DateTime time;  // the date part of a time-only value is day zero
    time.hour = value->hour;
    time.minute = value->minute;
    time.second = value->second;
    return Variant(time);
}

Variant ReadDecimal(const HandleCheck& statement, SQLUSMALLINT column, FetchScratch& scratch) {
    Variant text = ReadText(statement, column, scratch);
    if (text.IsNull())
        return text;
    if (auto canonical = CanonicalDecimal(*text.As<std::u16string>())) {
        return Variant(Decimal{*canonical});
    }
    return text;  // NaN and the like stay text
}

Variant ReadAny(const HandleCheck& statement, SQLUSMALLINT column, SQLSMALLINT sqlType,
                FetchScratch& scratch) {
    switch (sqlType) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
            return ReadInteger(statement, column);
        case SQL_BIGINT: {
            const auto value = ReadFixed<std::int64_t>(statement, column, SQL_C_SBIGINT);
            return value ? Variant(*value) : Variant::MakeNull();
        }
        case SQL_BIT: {
            const auto value = ReadFixed<unsigned char>(statement, column, SQL_C_BIT);
            return value ? Variant(*value != 0) : Variant::MakeNull();
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: {
            const auto value = ReadFixed<double>(statement, column, SQL_C_DOUBLE);
            return value ? Variant(*value) : Variant::MakeNull();
        }
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return ReadDecimal(statement, column, scratch);
        case SQL_TYPE_DATE:
        case SQL_DATE:
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return ReadTimestamp(statement, column);
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return ReadTime(statement, column);
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return ReadBinary(statement, column, scratch);
        default:
            return ReadText(statement, column, scratch);
    }
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
    return ReadAny(HandleCheck(connection, SQL_HANDLE_STMT, statement, kSource), column, sqlType,
                   scratch);
}

}  // namespace orvitex::ado::detail

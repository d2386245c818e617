#include <algorithm>
#include <deque>
#include <variant>

#include "db/ado/Numbers.h"
#include "db/ado/Statement.h"

namespace orvitex::ado::detail {

namespace {

// Values are kept in a deque so that their addresses stay put until execution.
using Buffer = std::variant<std::u16string, std::int32_t, std::int64_t, double, unsigned char,
                            SQL_TIMESTAMP_STRUCT, SQL_DATE_STRUCT, SQL_TIME_STRUCT,
                            std::shared_ptr<const Bytes>, Bytes>;

// Room for a value the statement hands back, when the declared size asks for less.
constexpr std::size_t kOutputText = 4000;    // characters
constexpr std::size_t kOutputBinary = 8000;  // bytes
constexpr std::size_t kOutputDecimal = 64;   // characters of a decimal number

bool IsOutput(std::int32_t direction) {
    return direction == adParamOutput || direction == adParamInputOutput ||
           direction == adParamReturnValue;
}

// A value handed back may be longer than the one sent: its column is declared with room
// for it, so that the server does not cut it to the input's length.
std::size_t OutputRoom(const BoundValue& param, std::size_t least) {
    return std::max(least, static_cast<std::size_t>(std::max<std::int64_t>(param.size, 0)));
}

std::int64_t DeclaredSize(const BoundValue& param, std::size_t outputLeast) {
    return IsOutput(param.direction) ? static_cast<std::int64_t>(OutputRoom(param, outputLeast))
                                     : param.size;
}

bool IsTextType(std::int32_t type) {
    switch (type) {
        case adBSTR:
        case adChar:
        case adVarChar:
        case adLongVarChar:
        case adWChar:
        case adVarWChar:
        case adLongVarWChar:
        case adGUID:
            return true;
        default:
            return false;
    }
}

// adEmpty, adVariant, adIUnknown and unknown codes take their type from the value.
std::int32_t EffectiveType(const BoundValue& param) {
    switch (param.type) {
        case adSmallInt:
        case adInteger:
        case adSingle:
        case adDouble:
        case adCurrency:
        case adDate:
        case adBoolean:
        case adDecimal:
        case adTinyInt:
        case adBigInt:
        case adNumeric:
        case adDBDate:
        case adDBTime:
        case adDBTimeStamp:
        case adBinary:
        case adVarBinary:
        case adLongVarBinary:
            return param.type;
        default:
            if (IsTextType(param.type))
                return param.type;
            break;
    }
    switch (param.value.GetKind()) {
        case Variant::Kind::Boolean:
            return adBoolean;
        case Variant::Kind::Int32:
            return adInteger;
        case Variant::Kind::Int64:
            return adBigInt;
        case Variant::Kind::Double:
            return adDouble;
        case Variant::Kind::Decimal:
            return adDecimal;
        case Variant::Kind::Date:
            return adDBTimeStamp;
        case Variant::Kind::Bytes:
            return adLongVarBinary;
        default:
            return adVarWChar;
    }
}

std::u16string DecimalText(const Variant& value) {
    switch (value.GetKind()) {
        case Variant::Kind::Decimal:
            return value.As<Decimal>()->digits;
        case Variant::Kind::Int32:
        case Variant::Kind::Int64:
            return value.ToText();
        case Variant::Kind::Boolean:
            return value.ToBoolean() ? u"-1" : u"0";
        case Variant::Kind::Double:
            return DoubleToDecimalText(*value.As<double>());
        default:
            if (auto canonical = CanonicalDecimal(value.ToText()))
                return *canonical;
            return DoubleToDecimalText(value.ToDouble());
    }
}

// What SQLBindParameter is given for one marker; the value lives in `buffer`.
struct Bound {
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN columnSize = 1;
    SQLSMALLINT digits = 0;
    SQLPOINTER data = nullptr;
    SQLLEN length = 0;
    SQLLEN indicator = SQL_NULL_DATA;
};

// The SQL Server driver refuses (HY104) a column size past its type's range, so the declared
// size and the value together choose between the bounded and the long type.
constexpr SQLULEN kLongestWideVarChar = 4000;
constexpr SQLULEN kLongestVarChar = 8000;  // bytes, for narrow text and binary
constexpr SQLULEN kLongestWideLong = 1073741823;
constexpr SQLULEN kLongestLong = 2147483647;

struct SizedType {
    SQLSMALLINT sqlType;
    SQLULEN columnSize;
};

SizedType ChooseSize(SQLULEN actual, std::int64_t declared, bool forceLong, SQLULEN bounded,
                     SQLSMALLINT boundedType, SQLSMALLINT longType, SQLULEN longest) {
    const SQLULEN size =
        std::max<SQLULEN>({actual, static_cast<SQLULEN>(std::max<std::int64_t>(declared, 0)), 1});
    if (forceLong || size > bounded)
        return {longType, std::min(size, longest)};
    return {boundedType, size};
}

// A declared Size smaller than the value never cuts it: the statement decides what fits.
Bound BindText(const BoundValue& param, std::int32_t type, bool isNull, Buffer& buffer) {
    auto& text = buffer.emplace<std::u16string>(isNull ? std::u16string() : param.value.ToText());
    const auto chars = static_cast<SQLULEN>(text.size());
    if (IsOutput(param.direction))
        text.reserve(std::max(text.size(), OutputRoom(param, kOutputText)) + 1);
    const bool narrow = type == adChar || type == adVarChar || type == adLongVarChar;
    const bool isLong = type == adLongVarChar || type == adLongVarWChar;
    text.push_back(u'\0');
    Bound b;
    const auto sized =
        narrow ? ChooseSize(chars, DeclaredSize(param, kOutputText), isLong, kLongestVarChar,
                            SQL_VARCHAR, SQL_LONGVARCHAR, kLongestLong)
               : ChooseSize(chars, DeclaredSize(param, kOutputText), isLong, kLongestWideVarChar,
                            SQL_WVARCHAR, SQL_WLONGVARCHAR, kLongestWideLong);
    b.sqlType = sized.sqlType;
    b.columnSize = sized.columnSize;
    if (IsOutput(param.direction))
        text.resize(text.capacity(), u'\0');
    b.data = text.data();
    b.length = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
    if (!isNull)
        b.indicator = static_cast<SQLLEN>(chars * sizeof(char16_t));
    return b;
}

template <typename T>
Bound BindFixed(T value, bool isNull, Buffer& buffer, SQLSMALLINT cType, SQLSMALLINT sqlType,
                SQLULEN columnSize, SQLSMALLINT digits = 0) {
    Bound b{cType, sqlType, columnSize, digits};
    b.data = &buffer.emplace<T>(value);
    if (!isNull)
        b.indicator = 0;
    return b;
}

Bound BindDecimal(const BoundValue& param, std::int32_t type, bool isNull, Buffer& buffer) {
    auto& text = buffer.emplace<std::u16string>(isNull ? u"0" : DecimalText(param.value));
    const auto valueLength = text.size();
    const auto digitCount = static_cast<SQLULEN>(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
    Bound b;
    b.sqlType = static_cast<SQLSMALLINT>(type == adNumeric ? SQL_NUMERIC : SQL_DECIMAL);
    b.columnSize =
        param.precision ? param.precision : std::min<SQLULEN>(38, std::max<SQLULEN>(digitCount, 1));
    b.digits = static_cast<SQLSMALLINT>(param.precision ? param.scale : DecimalScale(text));
    if (IsOutput(param.direction)) {
        if (!param.precision)
            b.columnSize = 38;  // the number handed back may need every digit
        text.resize(std::max(text.size(), kOutputDecimal), u'\0');
    }
    b.data = text.data();
    b.length = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
    if (!isNull)
        b.indicator = static_cast<SQLLEN>(valueLength * sizeof(char16_t));
    return b;
}

Bound BindDate(const BoundValue& param, std::int32_t type, bool isNull, Buffer& buffer) {
    const DateTime d = isNull ? DateTime{} : param.value.ToDateTime();
    const auto u = [](std::int32_t v) { return static_cast<SQLUSMALLINT>(v); };
    if (type == adDBDate) {
        return BindFixed(SQL_DATE_STRUCT{static_cast<SQLSMALLINT>(d.year), u(d.month), u(d.day)},
                         isNull, buffer, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10);
    }
    if (type == adDBTime) {
        return BindFixed(SQL_TIME_STRUCT{u(d.hour), u(d.minute), u(d.second)}, isNull, buffer,
                         SQL_C_TYPE_TIME, SQL_TYPE_TIME, 8);
    }
    return BindFixed(SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(d.year), u(d.month), u(d.day),
                                          u(d.hour), u(d.minute), u(d.second),
                                          static_cast<SQLUINTEGER>(d.millisecond) * 1000000u},
                     isNull, buffer, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3);
}

// The shared bytes are bound in place and whole: no copy, no truncation.
Bound BindBinary(const BoundValue& param, std::int32_t type, bool isNull, Buffer& buffer) {
    static std::byte none{};
    const auto& bytes = buffer.emplace<std::shared_ptr<const Bytes>>(
        isNull ? std::make_shared<const Bytes>() : param.value.ToBytes());
    const auto size = static_cast<SQLULEN>(bytes->size());
    void* data = bytes->empty() ? static_cast<void*>(&none) : const_cast<std::byte*>(bytes->data());
    SQLLEN room = static_cast<SQLLEN>(size);
    if (IsOutput(param.direction)) {
        // The statement writes into the buffer: the caller's shared bytes must not change.
        Bytes own(*bytes);
        own.resize(std::max(own.size(), OutputRoom(param, kOutputBinary)));
        auto& writable = buffer.emplace<Bytes>(std::move(own));
        data = writable.data();
        room = static_cast<SQLLEN>(writable.size());
    }
    const auto sized = ChooseSize(size, DeclaredSize(param, kOutputBinary), type == adLongVarBinary,
                                  kLongestVarChar, type == adBinary ? SQL_BINARY : SQL_VARBINARY,
                                  SQL_LONGVARBINARY, kLongestLong);
    Bound b;
    b.cType = SQL_C_BINARY;
    b.sqlType = sized.sqlType;
    b.columnSize = sized.columnSize;
    b.data = data;
    b.length = room;
    if (!isNull)
        b.indicator = static_cast<SQLLEN>(size);
    return b;
}

Bound BindValue(const BoundValue& param, Buffer& buffer) {
    const std::int32_t type = EffectiveType(param);
    const bool isNull = param.value.IsNull() || param.value.IsEmpty();
    if (IsTextType(type))
        return BindText(param, type, isNull, buffer);
    switch (type) {
        case adInteger:
        case adSmallInt:
        case adTinyInt:
            return BindFixed(isNull ? 0 : param.value.ToInt32(), isNull, buffer, SQL_C_SLONG,
                             static_cast<SQLSMALLINT>(type == adSmallInt  ? SQL_SMALLINT
                                                      : type == adTinyInt ? SQL_TINYINT
                                                                          : SQL_INTEGER),
                             10);
        case adBigInt:
            return BindFixed(isNull ? std::int64_t{0} : param.value.ToInt64(), isNull, buffer,
                             SQL_C_SBIGINT, SQL_BIGINT, 19);
        case adBoolean:
            return BindFixed(static_cast<unsigned char>(!isNull && param.value.ToBoolean()), isNull,
                             buffer, SQL_C_BIT, SQL_BIT, 1);
        case adDouble:
        case adSingle:
            return BindFixed(isNull ? 0.0 : param.value.ToDouble(), isNull, buffer, SQL_C_DOUBLE,
                             static_cast<SQLSMALLINT>(type == adSingle ? SQL_REAL : SQL_DOUBLE),
                             15);
        case adDecimal:
        case adNumeric:
        case adCurrency:
            return BindDecimal(param, type, isNull, buffer);
        case adDate:
        case adDBDate:
        case adDBTime:
        case adDBTimeStamp:
            return BindDate(param, type, isNull, buffer);
        default:
            return BindBinary(param, type, isNull, buffer);
    }
}

// One bound marker: where its value lives, for reading back what the statement hands back.
struct Slot {
    Buffer* buffer;
    SQLLEN* indicator;
    Bound bound;
    bool output;
};

[[noreturn]] void ThrowTooLong(std::u16string_view source) {
    throw Error(kProviderError, std::u16string(source),
                u"A value handed back by the statement is longer than its parameter's Size.");
}

Variant TextBack(const Slot& slot, std::u16string_view source) {
    const auto& text = std::get<std::u16string>(*slot.buffer);
    const auto bytes = *slot.indicator;
    if (bytes == SQL_NO_TOTAL || bytes > slot.bound.length - static_cast<SQLLEN>(sizeof(char16_t)))
        ThrowTooLong(source);
    std::u16string value(text, 0, static_cast<std::size_t>(bytes) / sizeof(char16_t));
    if (slot.bound.sqlType == SQL_DECIMAL || slot.bound.sqlType == SQL_NUMERIC) {
        if (auto canonical = CanonicalDecimal(value))
            return Variant(Decimal{*canonical});
    }
    return Variant(std::move(value));
}

Variant ValueBack(const Slot& slot, std::u16string_view source) {
    if (*slot.indicator == SQL_NULL_DATA)
        return Variant::MakeNull();
    switch (slot.bound.cType) {
        case SQL_C_WCHAR:
            return TextBack(slot, source);
        case SQL_C_SLONG:
            return Variant(std::get<std::int32_t>(*slot.buffer));
        case SQL_C_SBIGINT:
            return Variant(std::get<std::int64_t>(*slot.buffer));
        case SQL_C_DOUBLE:
            return Variant(std::get<double>(*slot.buffer));
        case SQL_C_BIT:
            return Variant(std::get<unsigned char>(*slot.buffer) != 0);
        case SQL_C_TYPE_DATE: {
            const auto& d = std::get<SQL_DATE_STRUCT>(*slot.buffer);
            return Variant(DateTime{d.year, d.month, d.day});
        }
        case SQL_C_TYPE_TIME: {
            const auto& t = std::get<SQL_TIME_STRUCT>(*slot.buffer);
            DateTime time;
            time.hour = t.hour;
            time.minute = t.minute;
            time.second = t.second;
            return Variant(time);
        }
        case SQL_C_TYPE_TIMESTAMP: {
            const auto& t = std::get<SQL_TIMESTAMP_STRUCT>(*slot.buffer);
            return Variant(DateTime{t.year, t.month, t.day, t.hour, t.minute, t.second,
                                    static_cast<std::int32_t>(t.fraction / 1000000)});
        }
        default: {
            const auto& bytes = std::get<Bytes>(*slot.buffer);
            const auto size = *slot.indicator;
            if (size == SQL_NO_TOTAL || size > static_cast<SQLLEN>(bytes.size()))
                ThrowTooLong(source);
            return Variant(Bytes(bytes.begin(), bytes.begin() + size));
        }
    }
}

}  // namespace

struct ParameterBinder::Storage {
    std::deque<Buffer> buffers;
    std::deque<SQLLEN> indicators;
    std::vector<Slot> slots;
};

ParameterBinder::ParameterBinder() : storage_(std::make_unique<Storage>()) {}
ParameterBinder::~ParameterBinder() = default;

void ParameterBinder::Bind(const HandleCheck& statement, const std::vector<BoundValue>& params) {
    SQLUSMALLINT number = 0;
    for (const BoundValue& param : params) {
        ++number;
        Buffer& buffer = storage_->buffers.emplace_back(std::int32_t{0});
        const Bound b = BindValue(param, buffer);
        SQLLEN& indicator = storage_->indicators.emplace_back(b.indicator);
        const SQLSMALLINT ioType = param.direction == adParamInputOutput ? SQL_PARAM_INPUT_OUTPUT
                                   : IsOutput(param.direction)           ? SQL_PARAM_OUTPUT
                                                                         : SQL_PARAM_INPUT;
        storage_->slots.push_back({&buffer, &indicator, b, IsOutput(param.direction)});
        statement(SQLBindParameter(statement.Handle(), number, ioType, b.cType, b.sqlType,
                                   b.columnSize, b.digits, b.data, b.length, &indicator));
    }
}

std::vector<Variant> ParameterBinder::Outputs(std::u16string_view source) const {
    std::vector<Variant> values;
    for (const Slot& slot : storage_->slots)
        values.push_back(slot.output ? ValueBack(slot, source) : Variant());
    return values;
}

}  // namespace orvitex::ado::detail

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
                            std::shared_ptr<const Bytes>>;

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
    const bool narrow = type == adChar || type == adVarChar || type == adLongVarChar;
    const bool isLong = type == adLongVarChar || type == adLongVarWChar;
    text.push_back(u'\0');
    Bound b;
    const auto sized = narrow ? ChooseSize(chars, param.size, isLong, kLongestVarChar, SQL_VARCHAR,
                                           SQL_LONGVARCHAR, kLongestLong)
                              : ChooseSize(chars, param.size, isLong, kLongestWideVarChar,
                                           SQL_WVARCHAR, SQL_WLONGVARCHAR, kLongestWideLong);
    b.sqlType = sized.sqlType;
    b.columnSize = sized.columnSize;
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
    const auto digitCount = static_cast<SQLULEN>(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
    Bound b;
    b.sqlType = static_cast<SQLSMALLINT>(type == adNumeric ? SQL_NUMERIC : SQL_DECIMAL);
    b.columnSize =
        param.precision ? param.precision : std::min<SQLULEN>(38, std::max<SQLULEN>(digitCount, 1));
    b.digits = static_cast<SQLSMALLINT>(param.precision ? param.scale : DecimalScale(text));
    b.data = text.data();
    b.length = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
    if (!isNull)
        b.indicator = b.length;
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
    const auto sized =
        ChooseSize(size, param.size, type == adLongVarBinary, kLongestVarChar,
                   type == adBinary ? SQL_BINARY : SQL_VARBINARY, SQL_LONGVARBINARY, kLongestLong);
    Bound b;
    b.cType = SQL_C_BINARY;
    b.sqlType = sized.sqlType;
    b.columnSize = sized.columnSize;
    b.data = bytes->empty() ? static_cast<void*>(&none) : const_cast<std::byte*>(bytes->data());
    b.length = static_cast<SQLLEN>(size);
    if (!isNull)
        b.indicator = b.length;
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

}  // namespace

struct ParameterBinder::Storage {
    std::deque<Buffer> buffers;
    std::deque<SQLLEN> indicators;
};

ParameterBinder::ParameterBinder() : storage_(std::make_unique<Storage>()) {}
ParameterBinder::~ParameterBinder() = default;

void ParameterBinder::Bind(Connection& connection, SQLHSTMT statement,
                           const std::vector<BoundValue>& params, std::u16string_view source) {
    SQLUSMALLINT number = 0;
    for (const BoundValue& param : params) {
        ++number;
        if (param.direction != adParamInput && param.direction != adParamUnknown) {
            throw Error(adErrFeatureNotAvailable, std::u16string(source),
                        u"Only input parameters are supported.");
        }
        Buffer& buffer = storage_->buffers.emplace_back(std::int32_t{0});
        const Bound b = BindValue(param, buffer);
        SQLLEN& indicator = storage_->indicators.emplace_back(b.indicator);
        Check(SQLBindParameter(statement, number, SQL_PARAM_INPUT, b.cType, b.sqlType, b.columnSize,
                               b.digits, b.data, b.length, &indicator),
              connection, SQL_HANDLE_STMT, statement, source);
    }
}

}  // namespace orvitex::ado::detail

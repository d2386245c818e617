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

struct Binding {
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN columnSize = 1;
    SQLSMALLINT digits = 0;
};

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
std::int32_t EffectiveType(const ParamSpec& spec) {
    switch (spec.type) {
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
            return spec.type;
        default:
            if (IsTextType(spec.type))
                return spec.type;
            break;
    }
    switch (spec.value.GetKind()) {
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
        case Variant::Kind::Boolean:
            return value.ToText() == u"True"    ? u"-1"
                   : value.ToText() == u"False" ? u"0"
                                                : value.ToText();
        case Variant::Kind::Double:
            return DoubleToDecimalText(*value.As<double>());
        default:
            if (auto canonical = CanonicalDecimal(value.ToText()))
                return *canonical;
            return DoubleToDecimalText(value.ToDouble());
    }
}

std::int32_t SqlTypeOfInteger(std::int32_t type) {
    return type == adSmallInt ? SQL_SMALLINT : type == adTinyInt ? SQL_TINYINT : SQL_INTEGER;
}

}  // namespace

struct ParameterBinder::Storage {
    std::deque<Buffer> buffers;
    std::deque<SQLLEN> indicators;
};

ParameterBinder::ParameterBinder() : storage_(std::make_unique<Storage>()) {}
ParameterBinder::~ParameterBinder() = default;

void ParameterBinder::Bind(Connection& connection, SQLHSTMT statement,
                           const std::vector<ParamSpec>& specs, std::u16string_view source) {
    SQLUSMALLINT number = 0;
    for (const ParamSpec& spec : specs) {
        ++number;
        if (spec.direction != adParamInput && spec.direction != adParamUnknown) {
            throw Error(adErrFeatureNotAvailable, std::u16string(source),
                        u"Only input parameters are supported.");
        }
        const std::int32_t type = EffectiveType(spec);
        const bool isNull = spec.value.IsNull() || spec.value.IsEmpty();
        Binding b;
        Buffer& buffer = storage_->buffers.emplace_back(std::int32_t{0});
        SQLLEN& indicator = storage_->indicators.emplace_back(SQL_NULL_DATA);
        SQLPOINTER data = nullptr;
        SQLLEN length = 0;

        if (IsTextType(type)) {
            std::u16string text = isNull ? std::u16string() : spec.value.ToText();
            const auto chars = static_cast<SQLULEN>(text.size());
            const bool narrow = type == adChar || type == adVarChar || type == adLongVarChar;
            const bool isLong =
                type == adLongVarChar || type == adLongVarWChar || chars > (narrow ? 8000u : 4000u);
            b = {SQL_C_WCHAR,
                 static_cast<SQLSMALLINT>(narrow ? (isLong ? SQL_LONGVARCHAR : SQL_VARCHAR)
                                                 : (isLong ? SQL_WLONGVARCHAR : SQL_WVARCHAR)),
                 std::max<SQLULEN>(
                     {chars, static_cast<SQLULEN>(std::max<std::int64_t>(spec.size, 0)), 1}),
                 0};
            // Never cut a value to a smaller declared Size: the statement decides what fits.
            buffer = std::move(text);
            auto& stored = std::get<std::u16string>(buffer);
            stored.push_back(u'\0');
            data = stored.data();
            length = static_cast<SQLLEN>(stored.size() * sizeof(char16_t));
            if (!isNull)
                indicator = static_cast<SQLLEN>(chars * sizeof(char16_t));
        } else if (type == adInteger || type == adSmallInt || type == adTinyInt) {
            buffer = isNull ? 0 : spec.value.ToInt32();
            b = {SQL_C_SLONG, static_cast<SQLSMALLINT>(SqlTypeOfInteger(type)), 10, 0};
            data = &std::get<std::int32_t>(buffer);
            if (!isNull)
                indicator = 0;
        } else if (type == adBigInt) {
            buffer = isNull ? std::int64_t{0} : spec.value.ToInt64();
            b = {SQL_C_SBIGINT, SQL_BIGINT, 19, 0};
            data = &std::get<std::int64_t>(buffer);
            if (!isNull)
                indicator = 0;
        } else if (type == adBoolean) {
            buffer = static_cast<unsigned char>(!isNull && spec.value.ToBoolean() ? 1 : 0);
            b = {SQL_C_BIT, SQL_BIT, 1, 0};
            data = &std::get<unsigned char>(buffer);
            if (!isNull)
                indicator = 0;
        } else if (type == adDouble || type == adSingle) {
            buffer = isNull ? 0.0 : spec.value.ToDouble();
            b = {SQL_C_DOUBLE, static_cast<SQLSMALLINT>(type == adSingle ? SQL_REAL : SQL_DOUBLE),
                 15, 0};
            data = &std::get<double>(buffer);
            if (!isNull)
                indicator = 0;
        } else if (type == adDecimal || type == adNumeric || type == adCurrency) {
            std::u16string text = isNull ? u"0" : DecimalText(spec.value);
            const int scale = spec.precision ? spec.scale : DecimalScale(text);
            const auto digitCount = static_cast<SQLULEN>(std::count_if(
                text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
            const SQLULEN precision = spec.precision
                                          ? spec.precision
                                          : std::min<SQLULEN>(38, std::max<SQLULEN>(digitCount, 1));
            b = {SQL_C_WCHAR,
                 static_cast<SQLSMALLINT>(type == adNumeric ? SQL_NUMERIC : SQL_DECIMAL), precision,
                 static_cast<SQLSMALLINT>(scale)};
            buffer = std::move(text);
            auto& stored = std::get<std::u16string>(buffer);
            data = stored.data();
            length = static_cast<SQLLEN>(stored.size() * sizeof(char16_t));
            if (!isNull)
                indicator = length;
        } else if (type == adDBDate) {
            const DateTime d = isNull ? DateTime{} : spec.value.ToDateTime();
            buffer = SQL_DATE_STRUCT{static_cast<SQLSMALLINT>(d.year),
                                     static_cast<SQLUSMALLINT>(d.month),
                                     static_cast<SQLUSMALLINT>(d.day)};
            b = {SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0};
            data = &std::get<SQL_DATE_STRUCT>(buffer);
            if (!isNull)
                indicator = 0;
        } else if (type == adDBTime) {
            const DateTime d = isNull ? DateTime{} : spec.value.ToDateTime();
            buffer = SQL_TIME_STRUCT{static_cast<SQLUSMALLINT>(d.hour),
                                     static_cast<SQLUSMALLINT>(d.minute),
                                     static_cast<SQLUSMALLINT>(d.second)};
            b = {SQL_C_TYPE_TIME, SQL_TYPE_TIME, 8, 0};
            data = &std::get<SQL_TIME_STRUCT>(buffer);
            if (!isNull)
                indicator = 0;
        } else if (type == adDate || type == adDBTimeStamp) {
            const DateTime d = isNull ? DateTime{} : spec.value.ToDateTime();
            buffer = SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(d.year),
                                          static_cast<SQLUSMALLINT>(d.month),
                                          static_cast<SQLUSMALLINT>(d.day),
                                          static_cast<SQLUSMALLINT>(d.hour),
                                          static_cast<SQLUSMALLINT>(d.minute),
                                          static_cast<SQLUSMALLINT>(d.second),
                                          static_cast<SQLUINTEGER>(d.millisecond) * 1000000u};
            b = {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3};
            data = &std::get<SQL_TIMESTAMP_STRUCT>(buffer);
            if (!isNull)
                indicator = 0;
        } else {  // binary: the shared bytes are bound in place, whole
            static std::byte none{};
            auto bytes = isNull ? std::make_shared<const Bytes>() : spec.value.ToBytes();
            const auto size = static_cast<SQLULEN>(bytes->size());
            const bool isLong = type == adLongVarBinary || size > 8000;
            b = {SQL_C_BINARY,
                 static_cast<SQLSMALLINT>(isLong ? SQL_LONGVARBINARY
                                                 : (type == adBinary ? SQL_BINARY : SQL_VARBINARY)),
                 std::max<SQLULEN>(
                     {size, static_cast<SQLULEN>(std::max<std::int64_t>(spec.size, 0)), 1}),
                 0};
            data =
                bytes->empty() ? static_cast<void*>(&none) : const_cast<std::byte*>(bytes->data());
            length = static_cast<SQLLEN>(size);
            buffer = std::move(bytes);
            if (!isNull)
                indicator = length;
        }
        Check(SQLBindParameter(statement, number, SQL_PARAM_INPUT, b.cType, b.sqlType, b.columnSize,
                               b.digits, data, length, &indicator),
              connection, SQL_HANDLE_STMT, statement, source);
    }
}

}  // namespace orvitex::ado::detail

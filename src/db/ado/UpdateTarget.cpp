#include "db/ado/UpdateTarget.h"

#include "platform/Text.h"

namespace orvitex::ado::detail {

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

void SkipBlanks(std::u16string_view text, std::size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

// One identifier part: [..], "..", `..` or a run of name characters.
std::optional<std::u16string> ReadIdentifier(std::u16string_view text, std::size_t& pos,
                                             bool& quoted) {
    if (pos >= text.size())
        return std::nullopt;
    const char16_t open = text[pos];
    const char16_t close = open == u'[' ? u']' : open;
    if (open == u'[' || open == u'"' || open == u'`') {
        const std::size_t end = text.find(close, pos + 1);
        if (end == std::u16string_view::npos)
            return std::nullopt;
        std::u16string name(text.substr(pos + 1, end - pos - 1));
        pos = end + 1;
        quoted = true;
        return name;
    }
    const std::size_t start = pos;
    while (pos < text.size() && !IsBlank(text[pos]) &&
           std::u16string_view(u",;()=.'\"[").find(text[pos]) == std::u16string_view::npos) {
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return std::u16string(text.substr(start, pos - start));
}

// Position of the first keyword FROM outside quotes, or npos.
std::size_t FindFrom(std::u16string_view text) {
    const std::u16string lower = AsciiLower(text);
    char16_t quote = 0;
    for (std::size_t i = 0; i + 4 <= lower.size(); ++i) {
        const char16_t c = lower[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == u'\'' || c == u'"' || c == u'[') {
            quote = c == u'[' ? u']' : c;
            continue;
        }
        if (lower.compare(i, 4, u"from") == 0 && (i == 0 || IsBlank(lower[i - 1])) &&
            (i + 4 == lower.size() || IsBlank(lower[i + 4]))) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

std::optional<UpdateTarget> ReadTable(std::u16string_view text, std::size_t& pos) {
    UpdateTarget target;
    const std::size_t start = pos;
    auto first = ReadIdentifier(text, pos, target.quoted);
    if (!first)
        return std::nullopt;
    target.table = *first;
    while (pos < text.size() && text[pos] == u'.') {
        ++pos;
        auto next = ReadIdentifier(text, pos, target.quoted);
        if (!next)
            return std::nullopt;
        target.schema = target.table;
        target.table = *next;
    }
    target.tableSql = std::u16string(text.substr(start, pos - start));
    return target;
}

std::u16string Quote(std::u16string_view name, std::u16string_view quote) {
    if (quote.empty() || quote == u" ")
        return std::u16string(name);
    std::u16string out(quote);
    for (char16_t c : name) {
        out += c;
        if (std::u16string_view(&c, 1) == quote)
            out += c;
    }
    out += quote;
    return out;
}

std::u16string IdentifierQuote(Connection& connection) {
    std::vector<SQLWCHAR> buffer(8, 0);
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection.NativeHandle(), SQL_IDENTIFIER_QUOTE_CHAR,
                                   buffer.data(), static_cast<SQLSMALLINT>(buffer.size() * 2),
                                   &length))) {
        return u"\"";
    }
    return buffer[0] ? std::u16string(1, static_cast<char16_t>(buffer[0])) : std::u16string();
}

std::vector<std::u16string> QueryPrimaryKey(Connection& connection, std::u16string schema,
                                            std::u16string table) {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    HandleCheck(connection, SQL_HANDLE_DBC, connection.NativeHandle(),
                kSource)(SQLAllocHandle(SQL_HANDLE_STMT, connection.NativeHandle(), &raw));
    odbc::StmtHandle statement(raw);
    const HandleCheck check(connection, SQL_HANDLE_STMT, statement.Get(), kSource);
    check(SQLPrimaryKeysW(statement.Get(), nullptr, 0,
                          schema.empty() ? nullptr : odbc::Wide(schema),
                          static_cast<SQLSMALLINT>(schema.size()), odbc::Wide(table),
                          static_cast<SQLSMALLINT>(table.size())));
    std::vector<std::pair<std::int64_t, std::u16string>> keys;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.Get());
        if (rc == SQL_NO_DATA)
            break;
        check(rc);
        const Variant name = ReadValue(connection, statement.Get(), 4, SQL_WVARCHAR);
        const Variant sequence = ReadValue(connection, statement.Get(), 5, SQL_SMALLINT);
        keys.emplace_back(sequence.IsNull() ? 0 : sequence.ToInt64(), name.ToText());
    }
    std::sort(keys.begin(), keys.end());
    std::vector<std::u16string> names;
    for (auto& key : keys)
        names.push_back(std::move(key.second));
    return names;
}

std::vector<std::u16string> PrimaryKey(Connection& connection, const UpdateTarget& target) {
    auto keys = QueryPrimaryKey(connection, target.schema, target.table);
    if (keys.empty() && !target.quoted) {
        // Servers that fold unquoted names to lower case store them that way.
        keys = QueryPrimaryKey(connection, AsciiLower(target.schema), AsciiLower(target.table));
    }
    if (keys.empty()) {
        throw Error(adErrFeatureNotAvailable, kSource,
                    u"The table " + target.tableSql +
                        u" has no primary key, so the row to update cannot be identified.");
    }
    return keys;
}

BoundValue SpecFor(const ColumnInfo& column, const Variant& value) {
    BoundValue param;
    param.type = value.GetKind() == Variant::Kind::Bytes ? adLongVarBinary : adEmpty;
    if (param.type == adEmpty && (value.IsNull() || value.IsEmpty()))
        param.type = column.adoType;
    param.value = value;
    return param;
}

}  // namespace

std::optional<UpdateTarget> FindUpdateTarget(std::u16string_view statement) {
    std::size_t pos = 0;
    SkipBlanks(statement, pos);
    if (!AsciiLower(statement.substr(pos, 6)).starts_with(u"select")) {
        auto target = ReadTable(statement, pos);
        SkipBlanks(statement, pos);
        if (pos != statement.size())
            return std::nullopt;
        return target;
    }
    pos = FindFrom(statement);
    if (pos == std::u16string_view::npos)
        return std::nullopt;
    pos += 4;
    SkipBlanks(statement, pos);
    auto target = ReadTable(statement, pos);
    if (!target)
        return std::nullopt;
    SkipBlanks(statement, pos);
    const std::u16string rest = AsciiLower(statement.substr(pos));
    for (std::u16string_view keyword : {u"where", u"order", u"group", u"having", u";"}) {
        if (rest.starts_with(keyword)) {
            if (rest.find(u" join ") != std::u16string::npos)
                return std::nullopt;
            return target;
        }
    }
    if (rest.empty())
        return target;
    return std::nullopt;  // an alias, a join or a second table
}

void InsertRow(Connection& connection, const UpdateTarget& target,
               const std::vector<ColumnInfo>& columns, const std::vector<Variant>& values,
               const std::vector<bool>& modified) {
    const std::u16string quote = IdentifierQuote(connection);
    std::u16string names, markers;
    std::vector<BoundValue> parameters;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!modified[i])
            continue;
        if (!names.empty()) {
            names += u", ";
            markers += u", ";
        }
        names += Quote(columns[i].name, quote);
        markers += u'?';
        parameters.push_back(SpecFor(columns[i], values[i]));
    }
    const std::u16string sql =
        names.empty()
            ? u"INSERT INTO " + target.tableSql + u" DEFAULT VALUES"
            : u"INSERT INTO " + target.tableSql + u" (" + names + u") VALUES (" + markers + u")";
    (void)RunStatement(connection, {.text = sql,
                                    .parameters = &parameters,
                                    .prepare = false,
                                    .wantRows = false,
                                    .source = kSource});
}

void UpdateRow(Connection& connection, const UpdateTarget& target,
               const std::vector<ColumnInfo>& columns, const std::vector<Variant>& original,
               const std::vector<Variant>& values, const std::vector<bool>& modified) {
    const std::u16string quote = IdentifierQuote(connection);
    std::u16string assignments;
    std::vector<BoundValue> parameters;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!modified[i])
            continue;
        if (!assignments.empty())
            assignments += u", ";
        assignments += Quote(columns[i].name, quote) + u" = ?";
        parameters.push_back(SpecFor(columns[i], values[i]));
    }
    if (assignments.empty())
        return;
    std::u16string condition;
    for (const auto& key : PrimaryKey(connection, target)) {
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const ColumnInfo& c) {
            return AsciiLower(c.name) == AsciiLower(key);
        });
        if (column == columns.end()) {
            throw Error(adErrFeatureNotAvailable, kSource,
                        u"The key column " + key + u" is not among the selected columns.");
        }
        const auto index = static_cast<std::size_t>(column - columns.begin());
        if (!condition.empty())
            condition += u" AND ";
        condition += Quote(key, quote) + u" = ?";
        parameters.push_back(SpecFor(*column, original[index]));
    }
    const std::u16string sql =
        u"UPDATE " + target.tableSql + u" SET " + assignments + u" WHERE " + condition;
    const auto result = RunStatement(connection, {.text = sql,
                                                  .parameters = &parameters,
                                                  .prepare = false,
                                                  .wantRows = false,
                                                  .source = kSource});
    if (result.recordsAffected != 1) {
        throw Error(kRowNotFound, kSource,
                    u"Row cannot be located for updating. Some values may have been changed "
                    u"since it was last read.");
    }
}

}  // namespace orvitex::ado::detail

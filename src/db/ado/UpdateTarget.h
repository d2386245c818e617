#pragma once
// Internal: the one table behind an updatable recordset, and writing rows back to it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Statement.h"

namespace orvitex::ado::detail {

struct UpdateTarget {
    std::u16string tableSql;  // as the statement wrote it, quotes included
    std::u16string schema;    // unquoted; empty when not given
    std::u16string table;     // unquoted
    bool quoted = false;
};

// The table of "SELECT ... FROM table [WHERE|ORDER BY|...]" or of a bare table
// name; nullopt for joins, several tables or anything else.
[[nodiscard]] std::optional<UpdateTarget> FindUpdateTarget(std::u16string_view statement);

// INSERT of the modified columns; values are bound as parameters.
void InsertRow(Connection& connection, const UpdateTarget& target,
               const std::vector<ColumnInfo>& columns, const std::vector<Variant>& values,
               const std::vector<bool>& modified);
// UPDATE of the modified columns of the row identified by its primary key.
void UpdateRow(Connection& connection, const UpdateTarget& target,
               const std::vector<ColumnInfo>& columns, const std::vector<Variant>& original,
               const std::vector<Variant>& values, const std::vector<bool>& modified);

}  // namespace orvitex::ado::detail

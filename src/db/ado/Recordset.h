#pragma once
// An ADO-shaped Recordset with a client-side cursor: Open reads every row, so
// RecordCount is known and the rows stay readable after the recordset is
// detached from its connection.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Constants.h"
#include "db/ado/Error.h"
#include "db/ado/Variant.h"

namespace orvitex::ado {

class Connection;

class Field {
public:
    virtual ~Field() = default;
    virtual std::u16string Name() const = 0;
    virtual std::int32_t Type() const = 0;  // a DataTypeEnum value
    virtual std::int64_t DefinedSize() const = 0;
    // The value on the current row. Throws adErrNoCurrentRecord at EOF or BOF.
    virtual Variant Value() = 0;
    // On the current row of an updatable recordset, inside AddNew or an edit.
    virtual void SetValue(const Variant& value) = 0;
    // Length of the current value in bytes (text: bytes of its UTF-16 form); 0 for Null.
    virtual std::int64_t ActualSize() = 0;
    // Successive calls return successive pieces of a long value, from the start
    // for the first call on a row; a call past the end returns Null.
    virtual Variant GetChunk(std::int64_t length) = 0;
    // The first AppendChunk after the row was positioned or the value was set
    // replaces the value; further ones append.
    virtual void AppendChunk(const Variant& data) = 0;
    // Announces that the AppendChunk calls to come total this many bytes, so that the
    // value is built in one allocation.
    virtual void ReserveChunks(std::int64_t totalBytes) { static_cast<void>(totalBytes); }
};

class Fields {
public:
    virtual ~Fields() = default;
    virtual std::int32_t Count() const = 0;
    // Throws adErrItemNotFound for an index out of range or an unknown name
    // (names compare without regard to ASCII case).
    virtual Field& Item(std::int32_t index) = 0;
    virtual Field& Item(std::u16string_view name) = 0;
    Field& operator[](std::int32_t index) { return Item(index); }
    Field& operator[](std::u16string_view name) { return Item(name); }
    // A Field& lives as long as its recordset. A held field shares the ownership of its
    // recordset, rows included, as an ADO Field keeps its Recordset: it stays readable
    // after every other owner has released the recordset.
    // Collections that cannot share their recordset refuse with 3251.
    virtual std::shared_ptr<Field> Hold(std::int32_t index) {
        static_cast<void>(index);
        throw Error(adErrFeatureNotAvailable, u"ADODB.Fields", u"Fields cannot be held here.");
    }
    virtual std::shared_ptr<Field> Hold(std::u16string_view name) {
        static_cast<void>(name);
        throw Error(adErrFeatureNotAvailable, u"ADODB.Fields", u"Fields cannot be held here.");
    }
};

// GetRows: values[field][row].
using RowArray = std::vector<std::vector<Variant>>;

class Recordset {
public:
    static std::shared_ptr<Recordset> Create();
    virtual ~Recordset() = default;

    virtual std::int32_t CursorLocation() const = 0;
    virtual void SetCursorLocation(std::int32_t location) = 0;
    virtual std::int32_t CursorType() const = 0;
    virtual void SetCursorType(std::int32_t type) = 0;
    virtual std::int32_t LockType() const = 0;
    virtual void SetLockType(std::int32_t type) = 0;
    virtual std::u16string Source() const = 0;
    virtual void SetSource(std::u16string_view source) = 0;
    virtual std::shared_ptr<Connection> ActiveConnection() const = 0;
    // nullptr detaches an open client-side recordset from its connection.
    virtual void SetActiveConnection(std::shared_ptr<Connection> connection) = 0;

    // Missing arguments (nullopt, nullptr, -1) take the properties already set.
    // Throws ado::Error; the recordset stays closed on failure.
    virtual void Open(std::optional<std::u16string_view> source = std::nullopt,
                      std::shared_ptr<Connection> connection = nullptr,
                      std::int32_t cursorType = adOpenUnspecified,
                      std::int32_t lockType = adLockUnspecified,
                      std::int32_t options = adCmdUnspecified) = 0;
    virtual void Close() = 0;  // throws adErrObjectClosed when not open
    virtual std::int32_t State() const = 0;

    // Each throws adErrObjectClosed when the recordset is not open.
    virtual bool Eof() const = 0;
    virtual bool Bof() const = 0;
    virtual std::int32_t RecordCount() const = 0;
    virtual void MoveNext() = 0;
    virtual void MoveFirst() = 0;
    virtual RowArray GetRows(std::int32_t rows = adGetRowsRest) = 0;
    virtual Fields& GetFields() = 0;

    // Updatable recordsets (lock type other than read-only, single-table SELECT
    // whose table has a primary key): rows are written back on Update.
    virtual void AddNew() = 0;
    virtual void Update() = 0;
    virtual void CancelUpdate() = 0;
};

}  // namespace orvitex::ado

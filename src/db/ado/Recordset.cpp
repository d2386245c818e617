#include "db/ado/Recordset.h"

#include <algorithm>
#include <utility>

#include "db/ado/Connection.h"
#include "db/ado/Statement.h"
#include "db/ado/Throw.h"
#include "db/ado/UpdateTarget.h"
#include "platform/Text.h"

namespace orvitex::ado {

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";
constexpr char16_t kFieldSource[] = u"ADODB.Field";

std::int64_t SizeOf(const Variant& value) {
    switch (value.GetKind()) {
        case Variant::Kind::Empty:
        case Variant::Kind::Null:
            return 0;
        case Variant::Kind::Boolean:
            return 2;
        case Variant::Kind::Int32:
            return 4;
        case Variant::Kind::Int64:
        case Variant::Kind::Double:
        case Variant::Kind::Date:
            return 8;
        case Variant::Kind::Decimal:
            return 16;
        case Variant::Kind::Text:
            return static_cast<std::int64_t>(value.As<std::u16string>()->size() * sizeof(char16_t));
        case Variant::Kind::Bytes:
            return static_cast<std::int64_t>(value.ToBytes()->size());
    }
    return 0;
}

class RecordsetImpl;

class FieldImpl final : public Field {
public:
    FieldImpl(RecordsetImpl& owner, std::size_t index) : owner_(owner), index_(index) {}

    std::u16string Name() const override;
    std::int32_t Type() const override;
    std::int64_t DefinedSize() const override;
    Variant Value() const override;
    void SetValue(const Variant& value) override;
    std::int64_t ActualSize() const override { return SizeOf(Value()); }
    Variant GetChunk(std::int64_t length) override;
    void AppendChunk(const Variant& data) override;
    void ReserveChunks(std::int64_t totalBytes) override {
        if (totalBytes > 0)
            reserved_ = static_cast<std::size_t>(totalBytes);
    }

    // Forgets chunk positions and pending appends: the row or the value changed.
    void Reset() {
        chunkOffset_ = 0;
        appending_ = false;
        appendStarted_ = false;
        pending_.clear();
        pendingText_.clear();
    }
    // Moves appended bytes into the edited row, without copying them.
    void Flush();

private:
    const detail::ColumnInfo& Column() const;

    RecordsetImpl& owner_;
    std::size_t index_;
    std::int64_t chunkOffset_ = 0;
    bool appendStarted_ = false;
    bool appending_ = false;  // pending_ or pendingText_ holds the value being built
    bool appendingText_ = false;
    std::size_t reserved_ = 0;  // for the next series of appends
    Bytes pending_;
    std::u16string pendingText_;
};

class FieldsImpl final : public Fields {
public:
    explicit FieldsImpl(RecordsetImpl& owner) : owner_(owner) {}
    std::int32_t Count() const override;
    Field& Item(std::int32_t index) override;
    Field& Item(std::u16string_view name) override;
    std::shared_ptr<Field> Hold(std::int32_t index) override;
    std::shared_ptr<Field> Hold(std::u16string_view name) override;

    // Fields live as long as the recordset, so references handed out never dangle.
    void Resize(std::size_t count) {
        while (fields_.size() < count) {
            fields_.push_back(std::make_unique<FieldImpl>(owner_, fields_.size()));
        }
    }
    void ResetAll() {
        for (auto& field : fields_)
            field->Reset();
    }
    void FlushAll() {
        for (auto& field : fields_)
            field->Flush();
    }

private:
    RecordsetImpl& owner_;
    std::vector<std::unique_ptr<FieldImpl>> fields_;
};

class RecordsetImpl final : public Recordset, public std::enable_shared_from_this<RecordsetImpl> {
public:
    RecordsetImpl() : fields_(*this) {}

    std::int32_t CursorLocation() const override { return cursorLocation_; }
    void SetCursorLocation(std::int32_t location) override {
        if (open_)
            detail::Throw(detail::Failure::Open, kSource);
        cursorLocation_ = location;
    }
    std::int32_t CursorType() const override { return cursorType_; }
    void SetCursorType(std::int32_t type) override {
        if (open_)
            detail::Throw(detail::Failure::Open, kSource);
        cursorType_ = type;
    }
    std::int32_t LockType() const override { return lockType_; }
    void SetLockType(std::int32_t type) override {
        if (open_)
            detail::Throw(detail::Failure::Open, kSource);
        lockType_ = type;
    }
    std::u16string Source() const override { return source_; }
    void SetSource(std::u16string_view source) override {
        if (open_)
            detail::Throw(detail::Failure::Open, kSource);
        source_ = source;
    }
    std::shared_ptr<Connection> ActiveConnection() const override { return connection_; }
    void SetActiveConnection(std::shared_ptr<Connection> connection) override {
        connection_ = std::move(connection);
    }

    void Open(std::optional<std::u16string_view> source, std::shared_ptr<Connection> connection,
              std::int32_t cursorType, std::int32_t lockType, std::int32_t options) override;
    void Close() override {
        RequireOpen();
        CancelEdit();
        open_ = false;
        rows_.clear();
        columns_.clear();
        position_ = 0;
    }
    std::int32_t State() const override { return open_ ? adStateOpen : adStateClosed; }

    bool Eof() const override {
        RequireOpen();
        return mode_ != Mode::Add && position_ >= rows_.size();
    }
    bool Bof() const override {
        RequireOpen();
        return mode_ != Mode::Add && rows_.empty();
    }
    std::int32_t RecordCount() const override {
        RequireOpen();
        return static_cast<std::int32_t>(rows_.size());
    }
    void MoveNext() override {
        RequireOpen();
        FinishEdit();
        if (position_ >= rows_.size())
            detail::Throw(detail::Failure::NoCurrentRecord, kSource);
        ++position_;
        fields_.ResetAll();
    }
    void MoveFirst() override {
        RequireOpen();
        FinishEdit();
        position_ = 0;
        fields_.ResetAll();
    }
    RowArray GetRows(std::int32_t rows) override;
    Fields& GetFields() override {
        RequireOpen();
        return fields_;
    }

    void AddNew() override;
    void Update() override;
    void CancelUpdate() override {
        RequireOpen();
        CancelEdit();
    }

    // For the fields.
    void RequireOpen() const {
        if (!open_)
            detail::Throw(detail::Failure::Closed, kSource);
    }
    const std::vector<detail::ColumnInfo>& Columns() const { return columns_; }
    const Variant& CurrentValue(std::size_t column) const {
        RequireOpen();
        if (mode_ != Mode::None)
            return edit_[column];
        if (position_ >= rows_.size())
            detail::Throw(detail::Failure::NoCurrentRecord, kSource);
        return rows_[position_][column];
    }
    // The edited row's slot of a column, entering edit mode on the current row.
    Variant& EditSlot(std::size_t column) {
        RequireOpen();
        if (!target_)
            detail::Throw(detail::Failure::NotUpdatable, kSource);
        if (mode_ == Mode::None) {
            if (position_ >= rows_.size())
                detail::Throw(detail::Failure::NoCurrentRecord, kSource);
            edit_ = rows_[position_];
            modified_.assign(columns_.size(), false);
            mode_ = Mode::Edit;
        }
        modified_[column] = true;
        return edit_[column];
    }
    bool Editing() const { return mode_ != Mode::None; }

private:
    enum class Mode { None, Edit, Add };

    void FinishEdit() {
        if (mode_ != Mode::None)
            Update();
    }
    void CancelEdit() {
        mode_ = Mode::None;
        edit_.clear();
        modified_.clear();
        fields_.ResetAll();
    }

    std::int32_t cursorLocation_ = adUseServer;
    std::int32_t cursorType_ = adOpenForwardOnly;
    std::int32_t lockType_ = adLockReadOnly;
    std::u16string source_;
    std::shared_ptr<Connection> connection_;
    bool open_ = false;
    std::vector<detail::ColumnInfo> columns_;
    std::vector<std::vector<Variant>> rows_;
    std::size_t position_ = 0;
    std::optional<detail::UpdateTarget> target_;
    Mode mode_ = Mode::None;
    std::vector<Variant> edit_;
    std::vector<bool> modified_;
    FieldsImpl fields_;

    friend std::shared_ptr<Recordset> detail::MakeOpenRecordset(std::shared_ptr<Connection>,
                                                                std::u16string, detail::RowSet);
    void Adopt(detail::RowSet rows) {
        columns_ = std::move(rows.columns);
        rows_ = std::move(rows.rows);
        position_ = 0;
        open_ = true;
        fields_.Resize(columns_.size());
        fields_.ResetAll();
    }
};

void RecordsetImpl::Open(std::optional<std::u16string_view> source,
                         std::shared_ptr<Connection> connection, std::int32_t cursorType,
                         std::int32_t lockType, std::int32_t options) {
    if (open_)
        detail::Throw(detail::Failure::Open, kSource);
    if (source)
        source_ = *source;
    if (connection)
        connection_ = std::move(connection);
    if (cursorType != adOpenUnspecified)
        cursorType_ = cursorType;
    if (lockType != adLockUnspecified)
        lockType_ = lockType;
    if (!connection_)
        detail::Throw(detail::Failure::InvalidConnection, kSource);
    if (source_.empty())
        detail::Throw(detail::Failure::NoCommandText, kSource);
    const std::u16string text = detail::CommandText(source_, options);
    auto result = detail::RunStatement(*connection_, {.text = text,
                                                      .parameters = nullptr,
                                                      .prepare = false,
                                                      .wantRows = true,
                                                      .source = kSource});
    if (!result.rows)
        return;  // no rows: the recordset stays closed, as ADO leaves it
    // A client-side cursor is always static.
    if (cursorLocation_ == adUseClient)
        cursorType_ = adOpenStatic;
    Adopt(std::move(*result.rows));
    target_.reset();
    if (lockType_ != adLockReadOnly)
        target_ = detail::FindUpdateTarget(text);
}

RowArray RecordsetImpl::GetRows(std::int32_t rows) {
    RequireOpen();
    FinishEdit();
    if (position_ >= rows_.size())
        detail::Throw(detail::Failure::NoCurrentRecord, kSource);
    std::size_t count = rows_.size() - position_;
    if (rows >= 0)
        count = std::min(count, static_cast<std::size_t>(rows));
    RowArray values(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        values[c].reserve(count);
        for (std::size_t r = 0; r < count; ++r)
            values[c].push_back(rows_[position_ + r][c]);
    }
    position_ += count;
    fields_.ResetAll();
    return values;
}

void RecordsetImpl::AddNew() {
    RequireOpen();
    if (!target_)
        detail::Throw(detail::Failure::NotUpdatable, kSource);
    FinishEdit();
    edit_.assign(columns_.size(), Variant::MakeNull());
    modified_.assign(columns_.size(), false);
    mode_ = Mode::Add;
    fields_.ResetAll();
}

void RecordsetImpl::Update() {
    RequireOpen();
    if (mode_ == Mode::None)
        return;
    fields_.FlushAll();
    if (!connection_)
        detail::Throw(detail::Failure::InvalidConnection, kSource);
    if (mode_ == Mode::Add) {
        detail::InsertRow(*connection_, *target_, columns_, edit_, modified_);
        rows_.push_back(std::move(edit_));
        position_ = rows_.size() - 1;
    } else {
        detail::UpdateRow(*connection_, *target_, columns_, rows_[position_], edit_, modified_);
        rows_[position_] = std::move(edit_);
    }
    CancelEdit();
}

// Fields.

const detail::ColumnInfo& FieldImpl::Column() const {
    owner_.RequireOpen();
    if (index_ >= owner_.Columns().size())
        detail::Throw(detail::Failure::Closed, kFieldSource);
    return owner_.Columns()[index_];
}

std::u16string FieldImpl::Name() const {
    return Column().name;
}
std::int32_t FieldImpl::Type() const {
    return Column().adoType;
}
std::int64_t FieldImpl::DefinedSize() const {
    return Column().definedSize;
}

Variant FieldImpl::Value() const {
    Column();
    const_cast<FieldImpl*>(this)->Flush();
    return owner_.CurrentValue(index_);
}

void FieldImpl::SetValue(const Variant& value) {
    Column();
    Variant& slot = owner_.EditSlot(index_);
    Reset();  // the next AppendChunk starts the value afresh
    slot = value;
}

Variant FieldImpl::GetChunk(std::int64_t length) {
    Column();
    if (length < 0)
        detail::Throw(detail::Failure::InvalidArgument, kFieldSource);
    Flush();
    const Variant& value = owner_.CurrentValue(index_);
    if (value.IsNull())
        return value;
    if (const auto* text = value.As<std::u16string>()) {
        const auto size = static_cast<std::int64_t>(text->size());
        if (chunkOffset_ >= size)
            return Variant::MakeNull();
        const auto count = std::min(length, size - chunkOffset_);
        Variant piece(std::u16string(*text, static_cast<std::size_t>(chunkOffset_),
                                     static_cast<std::size_t>(count)));
        chunkOffset_ += count;
        return piece;
    }
    if (value.GetKind() != Variant::Kind::Bytes) {
        throw Error(adErrFeatureNotAvailable, kFieldSource,
                    u"GetChunk needs a long binary or text value.");
    }
    auto bytes = value.ToBytes();
    const auto size = static_cast<std::int64_t>(bytes->size());
    if (chunkOffset_ >= size)
        return Variant::MakeNull();
    if (chunkOffset_ == 0 && length >= size) {
        chunkOffset_ = size;
        return Variant(std::move(bytes));  // the whole value: shared, not copied
    }
    const auto count = std::min(length, size - chunkOffset_);
    const auto first = bytes->begin() + static_cast<std::ptrdiff_t>(chunkOffset_);
    chunkOffset_ += count;
    return Variant(Bytes(first, first + static_cast<std::ptrdiff_t>(count)));
}

void FieldImpl::AppendChunk(const Variant& data) {
    Column();
    const bool isText = data.GetKind() == Variant::Kind::Text;
    if (!isText && data.GetKind() != Variant::Kind::Bytes && !data.IsNull()) {
        throw Error(kTypeMismatch, kFieldSource, u"AppendChunk takes bytes or text.");
    }
    Variant& slot = owner_.EditSlot(index_);
    if (!appending_) {
        pending_.clear();
        pendingText_.clear();
        appendingText_ = isText;
        if (appendStarted_ && !slot.IsNull() && !slot.IsEmpty()) {
            // Resuming after the value was read: one copy, then appends are in place again.
            if (appendingText_) {
                pendingText_ = slot.ToText();
            } else if (slot.GetKind() == Variant::Kind::Bytes) {
                pending_ = *slot.ToBytes();
            }
        }
        if (!appendingText_)
            pending_.reserve(std::exchange(reserved_, 0));
        appending_ = true;
        appendStarted_ = true;
    }
    if (data.IsNull())
        return;
    if (appendingText_ != isText) {
        throw Error(kTypeMismatch, kFieldSource, u"AppendChunk cannot mix text and bytes.");
    }
    if (isText) {
        pendingText_ += *data.As<std::u16string>();
    } else {
        const auto bytes = data.ToBytes();
        pending_.insert(pending_.end(), bytes->begin(), bytes->end());
    }
}

void FieldImpl::Flush() {
    if (!appending_ || !owner_.Editing())
        return;
    Variant& slot = owner_.EditSlot(index_);
    slot = appendingText_ ? Variant(std::move(pendingText_)) : Variant(std::move(pending_));
    pending_.clear();
    pendingText_.clear();
    appending_ = false;
}

std::int32_t FieldsImpl::Count() const {
    owner_.RequireOpen();
    return static_cast<std::int32_t>(owner_.Columns().size());
}

Field& FieldsImpl::Item(std::int32_t index) {
    owner_.RequireOpen();
    if (index < 0 || static_cast<std::size_t>(index) >= owner_.Columns().size())
        detail::Throw(detail::Failure::NotFound, kSource);
    return *fields_[static_cast<std::size_t>(index)];
}

Field& FieldsImpl::Item(std::u16string_view name) {
    owner_.RequireOpen();
    const auto wanted = AsciiLower(name);
    const auto& columns = owner_.Columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (AsciiLower(columns[i].name) == wanted)
            return *fields_[i];
    }
    detail::Throw(detail::Failure::NotFound, kSource);
}

std::shared_ptr<Field> FieldsImpl::Hold(std::int32_t index) {
    return std::shared_ptr<Field>(owner_.shared_from_this(), &Item(index));
}

std::shared_ptr<Field> FieldsImpl::Hold(std::u16string_view name) {
    return std::shared_ptr<Field>(owner_.shared_from_this(), &Item(name));
}

}  // namespace

std::shared_ptr<Recordset> Recordset::Create() {
    return std::make_shared<RecordsetImpl>();
}

namespace detail {

std::shared_ptr<Recordset> MakeOpenRecordset(std::shared_ptr<Connection> connection,
                                             std::u16string source, RowSet rows) {
    auto recordset = std::make_shared<RecordsetImpl>();
    recordset->SetCursorLocation(adUseClient);
    recordset->SetCursorType(adOpenStatic);
    recordset->SetSource(source);
    recordset->SetActiveConnection(std::move(connection));
    recordset->Adopt(std::move(rows));
    return recordset;
}

}  // namespace detail

}  // namespace orvitex::ado

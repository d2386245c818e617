#include "db/ado/Recordset.h"

#include <algorithm>
#include <utility>

#include "db/ado/Connection.h"
#include "db/ado/FieldImpl.h"
#include "db/ado/Statement.h"
#include "db/ado/Throw.h"
#include "db/ado/UpdateTarget.h"

namespace orvitex::ado {

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";

class RecordsetImpl final : public Recordset,
                            public detail::FieldOwner,
                            public std::enable_shared_from_this<RecordsetImpl> {
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
    void RequireOpen() const override {
        if (!open_)
            detail::Throw(detail::Failure::Closed, kSource);
    }
    const std::vector<detail::ColumnInfo>& Columns() const override { return columns_; }
    const Variant& CurrentValue(std::size_t column) const override {
        RequireOpen();
        if (mode_ != Mode::None)
            return edit_[column];
        if (position_ >= rows_.size())
            detail::Throw(detail::Failure::NoCurrentRecord, kSource);
        return rows_[position_][column];
    }
    Variant& EditSlot(std::size_t column) override {
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
    bool Editing() const override { return mode_ != Mode::None; }
    std::shared_ptr<void> Share() override { return shared_from_this(); }

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
    detail::FieldsImpl fields_;

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

#include <algorithm>
#include <utility>

#include "db/ado/FieldImpl.h"
#include "db/ado/Throw.h"
#include "platform/Text.h"

namespace orvitex::ado::detail {

namespace {

constexpr char16_t kFieldSource[] = u"ADODB.Field";
constexpr char16_t kRecordsetSource[] = u"ADODB.Recordset";  // the collection's own errors

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

}  // namespace

const ColumnInfo& FieldImpl::Column() const {
    owner_.RequireOpen();
    if (index_ >= owner_.Columns().size())
        Throw(Failure::Closed, kFieldSource);
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

Variant FieldImpl::Value() {
    Column();
    Flush();
    return owner_.CurrentValue(index_);
}

std::int64_t FieldImpl::ActualSize() {
    return SizeOf(Value());
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
        Throw(Failure::InvalidArgument, kFieldSource);
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
        Throw(Failure::NotFound, kRecordsetSource);
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
    Throw(Failure::NotFound, kRecordsetSource);
}

std::shared_ptr<Field> FieldsImpl::Hold(std::int32_t index) {
    return std::shared_ptr<Field>(owner_.Share(), &Item(index));
}

std::shared_ptr<Field> FieldsImpl::Hold(std::u16string_view name) {
    return std::shared_ptr<Field>(owner_.Share(), &Item(name));
}

}  // namespace orvitex::ado::detail

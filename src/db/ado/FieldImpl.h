#pragma once
// Internal: the fields of a client-side recordset, which read and write the rows
// their recordset holds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Recordset.h"
#include "db/ado/Statement.h"

namespace orvitex::ado::detail {

// The rows a field reads and the edited row it writes.
class FieldOwner {
public:
    virtual void RequireOpen() const = 0;
    [[nodiscard]] virtual const std::vector<ColumnInfo>& Columns() const = 0;
    // Throws adErrNoCurrentRecord at EOF or BOF outside an edit.
    [[nodiscard]] virtual const Variant& CurrentValue(std::size_t column) const = 0;
    // The edited row's slot of a column, entering edit mode on the current row.
    [[nodiscard]] virtual Variant& EditSlot(std::size_t column) = 0;
    [[nodiscard]] virtual bool Editing() const = 0;
    // A share of the recordset's ownership, for a held field.
    [[nodiscard]] virtual std::shared_ptr<void> Share() = 0;

protected:
    ~FieldOwner() = default;
};

class FieldImpl final : public Field {
public:
    FieldImpl(FieldOwner& owner, std::size_t index) : owner_(owner), index_(index) {}

    std::u16string Name() const override;
    std::int32_t Type() const override;
    std::int64_t DefinedSize() const override;
    Variant Value() override;
    void SetValue(const Variant& value) override;
    std::int64_t ActualSize() override;
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
    // Moves appended bytes into the edited row, without copying them: before the value is
    // read, and when the row is written.
    void Flush();

private:
    const ColumnInfo& Column() const;

    FieldOwner& owner_;
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
    explicit FieldsImpl(FieldOwner& owner) : owner_(owner) {}
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
    FieldOwner& owner_;
    std::vector<std::unique_ptr<FieldImpl>> fields_;
};

}  // namespace orvitex::ado::detail

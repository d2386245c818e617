#pragma once
// An ADO-shaped Command with its Parameters; "?" markers bind in order.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Constants.h"
#include "db/ado/Variant.h"

namespace orvitex::ado {

class Connection;
class Recordset;

class Parameter {
public:
    virtual ~Parameter() = default;
    virtual std::u16string Name() const = 0;
    virtual std::int32_t Type() const = 0;
    virtual std::int32_t Direction() const = 0;
    virtual std::int64_t Size() const = 0;
    virtual void SetSize(std::int64_t size) = 0;
    virtual std::uint8_t Precision() const = 0;
    virtual void SetPrecision(std::uint8_t precision) = 0;
    virtual std::uint8_t NumericScale() const = 0;
    virtual void SetNumericScale(std::uint8_t scale) = 0;
    virtual Variant Value() const = 0;
    virtual void SetValue(const Variant& value) = 0;
};

class Parameters {
public:
    virtual ~Parameters() = default;
    virtual std::int32_t Count() const = 0;
    // By name (a Text variant) or by position (a number). Throws adErrItemNotFound.
    virtual std::shared_ptr<Parameter> Item(const Variant& nameOrIndex) const = 0;
    virtual void Append(std::shared_ptr<Parameter> parameter) = 0;
    virtual void Delete(const Variant& nameOrIndex) = 0;
};

class Command {
public:
    static std::shared_ptr<Command> Create();
    virtual ~Command() = default;

    virtual std::shared_ptr<Connection> ActiveConnection() const = 0;
    virtual void SetActiveConnection(std::shared_ptr<Connection> connection) = 0;
    virtual std::u16string CommandText() const = 0;
    virtual void SetCommandText(std::u16string_view text) = 0;
    virtual std::int32_t CommandType() const = 0;
    virtual void SetCommandType(std::int32_t type) = 0;
    virtual bool Prepared() const = 0;
    virtual void SetPrepared(bool prepared) = 0;

    // Runs CommandText with the parameter collection bound to its "?" markers
    // (or with parameterValues, when given). Returns the rows as a client-side
    // recordset, or a closed recordset for a statement without rows.
    virtual std::shared_ptr<Recordset> Execute(
        std::int32_t* recordsAffected = nullptr,
        const std::vector<Variant>* parameterValues = nullptr,
        std::int32_t options = adCmdUnspecified) = 0;

    // Size 0 leaves the size to be set later; value Empty means none.
    virtual std::shared_ptr<Parameter> CreateParameter(std::u16string_view name, std::int32_t type,
                                                       std::int32_t direction, std::int64_t size,
                                                       const Variant& value = {}) = 0;
    virtual Parameters& GetParameters() = 0;
};

}  // namespace orvitex::ado

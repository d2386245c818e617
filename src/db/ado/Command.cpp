#include "db/ado/Command.h"

#include "db/ado/Connection.h"
#include "db/ado/Statement.h"
#include "db/ado/Throw.h"
#include "platform/Text.h"

namespace orvitex::ado {

namespace {

constexpr char16_t kSource[] = u"ADODB.Command";
constexpr char16_t kParameterSource[] = u"ADODB.Parameters";

class ParameterImpl final : public Parameter {
public:
    ParameterImpl(std::u16string name, std::int32_t type, std::int32_t direction, std::int64_t size,
                  Variant value)
        : name_(std::move(name)),
          type_(type),
          direction_(direction),
          size_(size),
          value_(std::move(value)) {}

    std::u16string Name() const override { return name_; }
    std::int32_t Type() const override { return type_; }
    std::int32_t Direction() const override { return direction_; }
    std::int64_t Size() const override { return size_; }
    void SetSize(std::int64_t size) override {
        if (size < 0)
            detail::Throw(detail::Failure::InvalidArgument, u"ADODB.Parameter");
        size_ = size;
    }
    std::uint8_t Precision() const override { return precision_; }
    void SetPrecision(std::uint8_t precision) override { precision_ = precision; }
    std::uint8_t NumericScale() const override { return scale_; }
    void SetNumericScale(std::uint8_t scale) override { scale_ = scale; }
    Variant Value() const override { return value_; }
    void SetValue(const Variant& value) override { value_ = value; }

private:
    std::u16string name_;
    std::int32_t type_;
    std::int32_t direction_;
    std::int64_t size_;
    std::uint8_t precision_ = 0;
    std::uint8_t scale_ = 0;
    Variant value_;
};

class ParametersImpl final : public Parameters {
public:
    std::int32_t Count() const override { return static_cast<std::int32_t>(items_.size()); }
    std::shared_ptr<Parameter> Item(const Variant& nameOrIndex) const override {
        return items_[IndexOf(nameOrIndex)];
    }
    void Append(std::shared_ptr<Parameter> parameter) override {
        if (!parameter)
            detail::Throw(detail::Failure::InvalidArgument, kParameterSource);
        items_.push_back(std::move(parameter));
    }
    void Delete(const Variant& nameOrIndex) override {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(IndexOf(nameOrIndex)));
    }
    const std::vector<std::shared_ptr<Parameter>>& Items() const { return items_; }

private:
    std::size_t IndexOf(const Variant& nameOrIndex) const {
        if (const auto* name = nameOrIndex.As<std::u16string>()) {
            const auto wanted = AsciiLower(*name);
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (AsciiLower(items_[i]->Name()) == wanted)
                    return i;
            }
            detail::Throw(detail::Failure::NotFound, kParameterSource);
        }
        if (nameOrIndex.IsNull() || nameOrIndex.IsEmpty())
            detail::Throw(detail::Failure::NotFound, kParameterSource);
        const std::int64_t index = nameOrIndex.ToInt64();
        if (index < 0 || static_cast<std::size_t>(index) >= items_.size())
            detail::Throw(detail::Failure::NotFound, kParameterSource);
        return static_cast<std::size_t>(index);
    }

    std::vector<std::shared_ptr<Parameter>> items_;
};

class CommandImpl final : public Command {
public:
    std::shared_ptr<Connection> ActiveConnection() const override { return connection_; }
    void SetActiveConnection(std::shared_ptr<Connection> connection) override {
        connection_ = std::move(connection);
    }
    std::u16string CommandText() const override { return text_; }
    void SetCommandText(std::u16string_view text) override { text_ = text; }
    std::int32_t CommandType() const override { return type_; }
    void SetCommandType(std::int32_t type) override { type_ = type; }
    bool Prepared() const override { return prepared_; }
    void SetPrepared(bool prepared) override { prepared_ = prepared; }

    std::shared_ptr<Recordset> Execute(std::int32_t* recordsAffected,
                                       const std::vector<Variant>* parameterValues,
                                       std::int32_t options) override;

    std::shared_ptr<Parameter> CreateParameter(std::u16string_view name, std::int32_t type,
                                               std::int32_t direction, std::int64_t size,
                                               const Variant& value) override {
        return std::make_shared<ParameterImpl>(std::u16string(name), type, direction, size, value);
    }
    Parameters& GetParameters() override { return parameters_; }

private:
    std::u16string StatementText(std::int32_t type, std::size_t markers) const;
    std::vector<detail::BoundValue> Bindings(const std::vector<Variant>* values) const;

    std::shared_ptr<Connection> connection_;
    std::u16string text_;
    std::int32_t type_ = adCmdUnknown;
    bool prepared_ = false;
    ParametersImpl parameters_;
};

std::u16string CommandImpl::StatementText(std::int32_t type, std::size_t markers) const {
    if (type == adCmdTable)
        return detail::CommandText(text_, adCmdTable);
    if (type == adCmdStoredProc) {
        const auto& items = parameters_.Items();
        const bool returns = !items.empty() && items.front()->Direction() == adParamReturnValue;
        if (returns)
            --markers;
        std::u16string call = (returns ? u"{? = call " : u"{call ") + text_;
        if (markers > 0) {
            call += u'(';
            for (std::size_t i = 0; i < markers; ++i)
                call += i ? u",?" : u"?";
            call += u')';
        }
        return call + u"}";
    }
    return text_;
}

std::vector<detail::BoundValue> CommandImpl::Bindings(const std::vector<Variant>* values) const {
    std::vector<detail::BoundValue> params;
    for (const auto& parameter : parameters_.Items()) {
        params.push_back({parameter->Type(), parameter->Direction(), parameter->Size(),
                          parameter->Precision(), parameter->NumericScale(), parameter->Value()});
    }
    if (values) {
        if (!params.empty() && values->size() > params.size()) {
            throw Error(adErrInvalidArgument, kSource,
                        u"More parameter values were given than the command has parameters.");
        }
        for (std::size_t i = 0; i < values->size(); ++i) {
            if (i < params.size()) {
                params[i].value = (*values)[i];
            } else {
                params.push_back({adEmpty, adParamInput, 0, 0, 0, (*values)[i]});
            }
        }
    }
    return params;
}

std::shared_ptr<Recordset> CommandImpl::Execute(std::int32_t* recordsAffected,
                                                const std::vector<Variant>* parameterValues,
                                                std::int32_t options) {
    if (!connection_)
        detail::Throw(detail::Failure::InvalidConnection, kSource);
    if (connection_->State() != adStateOpen)
        detail::Throw(detail::Failure::Closed, kSource);
    if (text_.empty())
        detail::Throw(detail::Failure::NoCommandText, kSource);
    std::int32_t type = type_;
    if (options != adOptionUnspecified) {
        for (std::int32_t candidate : {adCmdText, adCmdTable, adCmdStoredProc}) {
            if ((options & 0x0F) == candidate)
                type = candidate;
        }
    }
    const auto params = Bindings(parameterValues);
    const std::u16string text = StatementText(type, params.size());
    const bool noRecords = options != adOptionUnspecified && (options & adExecuteNoRecords);
    auto result = detail::RunStatement(*connection_, {.text = text,
                                                      .parameters = &params,
                                                      .prepare = prepared_,
                                                      .wantRows = !noRecords,
                                                      .source = kSource});
    if (recordsAffected)
        *recordsAffected = result.recordsAffected;
    const auto& items = parameters_.Items();
    for (std::size_t i = 0; i < items.size() && i < result.outputs.size(); ++i) {
        if (items[i]->Direction() != adParamInput && items[i]->Direction() != adParamUnknown)
            items[i]->SetValue(result.outputs[i]);
    }
    if (!result.rows)
        return Recordset::Create();
    return detail::MakeOpenRecordset(connection_, text, std::move(*result.rows));
}

}  // namespace

std::shared_ptr<Command> Command::Create() {
    return std::make_shared<CommandImpl>();
}

}  // namespace orvitex::ado

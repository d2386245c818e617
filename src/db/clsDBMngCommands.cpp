#include <utility>

#include "db/Required.h"
#include "db/Trapped.h"
#include "db/clsDBMng.h"
#include "platform/Text.h"

namespace orvitex::db {
namespace {

constexpr std::int32_t kCommandFailed = -1000;

struct ParameterKind {
    std::int32_t type = ado::adEmpty;
    std::int64_t size = 0;  // 0: no size is set
};

// Kind 0 measures the value as text, so a value that has none (Null) fails here.
ParameterKind KindOf(std::int32_t pType, const ado::Variant& valueData, std::int32_t pSize) {
    switch (pType) {
        case 0: {
            if (pSize != 0)
                return {ado::adVarWChar, pSize};
            const auto length = static_cast<std::int64_t>(valueData.ToText().size());
            return {ado::adVarWChar, length == 0 ? 1 : length};
        }
        case 1:
            return {ado::adInteger, 0};
        case 2:
        case 4:
            return {ado::adDecimal, 0};
        case 3:
            return {ado::adDate, 0};
        case 9:
            return {ado::adIUnknown, 0};
        default:
            return {ado::adEmpty, 0};
    }
}

// The shared command, prepared as text, run once; rSQL empty runs its text again.
std::shared_ptr<ado::Recordset> RunSharedCommand(ado::Command& command, const std::u16string& rSQL,
                                                 std::int32_t& affected) {
    command.SetPrepared(true);
    command.SetCommandType(ado::adCmdText);
    if (!rSQL.empty())
        command.SetCommandText(rSQL);
    return command.Execute(&affected, nullptr, ado::adOptionUnspecified);
}

}  // namespace

std::shared_ptr<ado::Command> clsDBMng::GetCommand(const std::u16string& ComText,
                                                   std::int32_t ComType) {
    std::shared_ptr<ado::Command> result;
    try {
        ErrorClear();
        result = ado::Command::Create();
        result->SetActiveConnection(sConnect);
        result->SetCommandText(ComText);
        result->SetCommandType(ComType);
    } catch (const std::exception&) {
    }
    return result;
}

void clsDBMng::CommandParaClear() {
    auto& parameters = Required(sCommand).GetParameters();
    const auto count = parameters.Count();
    for (std::int32_t i = 0; i < count; ++i)
        parameters.Delete(ado::Variant(std::int32_t{0}));
}

std::shared_ptr<ado::Parameter> clsDBMng::GetParameter(const ado::Variant& sParaName) {
    try {
        return Required(sCommand).GetParameters().Item(sParaName);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::int32_t clsDBMng::CommandAppendPara(const ado::Variant& ParaName,
                                         const ado::Variant& ValueData, std::int32_t pType,
                                         std::int32_t Direction, std::int32_t pSize) {
    std::int32_t result = kCommandFailed;
    try {
        ErrorClear();
        sParameter = GetParameter(ParaName);
        if (sParameter) {
            sParameter->SetValue(ValueData);
            return result = 0;
        }
        const auto kind = KindOf(pType, ValueData, pSize);
        auto& command = Required(sCommand);
        sParameter = command.CreateParameter(ParaName.ToText(), kind.type, Direction, 0);
        if (kind.size != 0)
            sParameter->SetSize(kind.size);
        if (pType == 2) {
            sParameter->SetPrecision(8);
            sParameter->SetNumericScale(2);
        } else if (pType == 4) {
            sParameter->SetPrecision(20);
            sParameter->SetNumericScale(7);
        }
        sParameter->SetValue(ValueData);
        command.GetParameters().Append(sParameter);
        result = 0;
    } catch (const std::exception&) {
    }
    return result;
}

std::int32_t clsDBMng::CommandExcute(const std::u16string& rSQL, bool paraClear) {
    std::int32_t result = 0;
    try {
        ErrorClear();
        std::int32_t affected = 0;
        static_cast<void>(RunSharedCommand(Required(sCommand), rSQL, affected));
        result = affected;
        if (paraClear)
            CommandParaClear();
    } catch (const std::exception& failure) {
        const auto error = Trapped(failure);
        result = kCommandFailed;
        // Without sCommand both of these fail again, and that reaches the caller.
        ErrorDesc = WithoutSecrets(
            u"[clsDBMng/CommandExcute] " + ToText(std::int64_t{error.Number()}) + u"-" +
            error.Source() + u"/" + error.Description() + u"#" + Required(sCommand).CommandText());
        CommandParaClear();
    }
    return result;
}

std::int32_t clsDBMng::CommandExcuteRst(const std::u16string& rSQL,
                                        std::shared_ptr<ado::Recordset>* rRst, bool paraClear) {
    std::int32_t result = 0;
    try {
        ErrorClear();
        std::int32_t affected = 0;
        auto rows = RunSharedCommand(Required(sCommand), rSQL, affected);
        if (rRst)
            *rRst = std::move(rows);
        result = affected;
        if (paraClear)
            CommandParaClear();
    } catch (const std::exception&) {
        result = kCommandFailed;
        CommandParaClear();
    }
    return result;
}

}  // namespace orvitex::db

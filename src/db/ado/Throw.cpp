#include "db/ado/Throw.h"

#include "db/ado/Constants.h"
#include "db/ado/Error.h"

namespace orvitex::ado::detail {

namespace {

[[noreturn]] void Raise(std::int32_t number, std::u16string_view source,
                        std::u16string_view description) {
    throw Error(number, std::u16string(source), std::u16string(description));
}

}  // namespace

void ThrowInvalidArgument(std::u16string_view source) {
    Raise(adErrInvalidArgument, source,
          u"Arguments are of the wrong type, are out of acceptable range, or are in conflict "
          u"with one another.");
}

void ThrowNotFound(std::u16string_view source) {
    Raise(adErrItemNotFound, source,
          u"Item cannot be found in the collection corresponding to the requested name or "
          u"ordinal.");
}

void ThrowClosed(std::u16string_view source) {
    Raise(adErrObjectClosed, source, u"Operation is not allowed when the object is closed.");
}

void ThrowOpen(std::u16string_view source) {
    Raise(adErrObjectOpen, source, u"Operation is not allowed when the object is open.");
}

void ThrowInvalidConnection(std::u16string_view source) {
    Raise(adErrInvalidConnection, source,
          u"The connection cannot be used to perform this operation. It is either closed or "
          u"invalid in this context.");
}

void ThrowNoCurrentRecord(std::u16string_view source) {
    Raise(adErrNoCurrentRecord, source,
          u"Either BOF or EOF is True, or the current record has been deleted. Requested "
          u"operation requires a current record.");
}

void ThrowNotUpdatable(std::u16string_view source) {
    Raise(adErrFeatureNotAvailable, source,
          u"Current Recordset does not support updating. This may be a limitation of the "
          u"provider, or of the selected locktype.");
}

void ThrowNoCommandText(std::u16string_view source) {
    Raise(kNoCommandText, source, u"Command text was not set for the command object.");
}

void ThrowNoTransaction(std::u16string_view source) {
    Raise(kProviderError, source, u"No transaction is active.");
}

std::u16string CommandText(std::u16string_view text, std::int32_t options) {
    if (options != adCmdUnspecified && (options & adCmdTable) && !(options & adCmdText))
        return u"SELECT * FROM " + std::u16string(text);
    if (options != adCmdUnspecified && (options & adCmdStoredProc))
        return u"{call " + std::u16string(text) + u"}";
    return std::u16string(text);
}

}  // namespace orvitex::ado::detail

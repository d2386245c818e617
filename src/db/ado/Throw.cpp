#include "db/ado/Throw.h"

#include <iterator>

#include "db/ado/Constants.h"
#include "db/ado/Error.h"

namespace orvitex::ado::detail {

namespace {

struct Known {
    std::int32_t number;
    const char16_t* description;
};

// In the order of Failure.
constexpr Known kKnown[] = {
    {adErrInvalidArgument,
     u"Arguments are of the wrong type, are out of acceptable range, or are in conflict with one "
     u"another."},
    {adErrItemNotFound,
     u"Item cannot be found in the collection corresponding to the requested name or ordinal."},
    {adErrObjectClosed, u"Operation is not allowed when the object is closed."},
    {adErrObjectOpen, u"Operation is not allowed when the object is open."},
    {adErrInvalidConnection,
     u"The connection cannot be used to perform this operation. It is either closed or invalid "
     u"in this context."},
    {adErrNoCurrentRecord,
     u"Either BOF or EOF is True, or the current record has been deleted. Requested operation "
     u"requires a current record."},
    {adErrFeatureNotAvailable,
     u"Current Recordset does not support updating. This may be a limitation of the provider, "
     u"or of the selected locktype."},
    {kNoCommandText, u"Command text was not set for the command object."},
    {kProviderError, u"No transaction is active."},
};
static_assert(std::size(kKnown) == static_cast<std::size_t>(Failure::NoTransaction) + 1);

}  // namespace

void Throw(Failure failure, std::u16string_view source) {
    const Known& known = kKnown[static_cast<std::size_t>(failure)];
    throw Error(known.number, std::u16string(source), known.description);
}

std::u16string CommandText(std::u16string_view text, std::int32_t options) {
    if (options != adCmdUnspecified && (options & adCmdTable) && !(options & adCmdText))
        return u"SELECT * FROM " + std::u16string(text);
    if (options != adCmdUnspecified && (options & adCmdStoredProc))
        return u"{call " + std::u16string(text) + u"}";
    return std::u16string(text);
}

}  // namespace orvitex::ado::detail

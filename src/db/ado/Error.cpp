#include "db/ado/Error.h"

#include "platform/Text.h"

namespace orvitex::ado {

Error::Error(std::int32_t number, std::u16string source, std::u16string description,
             std::u16string sqlState, std::vector<Diagnostic> diagnostics)
    : std::runtime_error(ToUtf8(description)),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      sqlState_(std::move(sqlState)),
      diagnostics_(std::move(diagnostics)) {}

}  // namespace orvitex::ado

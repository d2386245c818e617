#pragma once
// The error every ADO-shaped operation throws: a number, a source and a
// description, as a trapped ADO error shows them.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvitex::ado {

// Error numbers, as signed 32-bit values.
inline constexpr std::int32_t kEFail = -2147467259;    // 0x80004005, link to the server
inline constexpr std::int32_t kOverflow = 6;           // a number out of the target's range
inline constexpr std::int32_t kTypeMismatch = 13;      // a conversion that cannot be made
inline constexpr std::int32_t kInvalidUseOfNull = 94;  // Null where a value is needed
inline constexpr std::int32_t adErrInvalidArgument = 3001;
inline constexpr std::int32_t adErrNoCurrentRecord = 3021;
inline constexpr std::int32_t adErrItemNotFound = 3265;
inline constexpr std::int32_t adErrObjectClosed = 3704;       // closed or never-opened object
inline constexpr std::int32_t adErrInvalidConnection = 3709;  // command without an open connection
inline constexpr std::int32_t adErrObjectOpen = 3705;
inline constexpr std::int32_t adErrProviderNotFound = 3706;
inline constexpr std::int32_t adErrFeatureNotAvailable = 3251;
inline constexpr std::int32_t kProviderError = -2147217900;     // 0x80040E14, statement rejected
inline constexpr std::int32_t kNoCommandText = -2147217908;     // 0x80040E0C, command text not set
inline constexpr std::int32_t kInitStringFormat = -2147217805;  // 0x80040E73, bad connection string
inline constexpr std::int32_t kRowNotFound = -2147217864;       // 0x80040E38, row changed or gone

// One record of a driver's diagnostic, as ODBC gives it.
struct Diagnostic {
    std::u16string sqlState;
    std::int32_t nativeError = 0;  // the server's or driver's own number
    std::u16string message;

    bool operator==(const Diagnostic&) const = default;
};

class Error : public std::runtime_error {
public:
    Error(std::int32_t number, std::u16string source, std::u16string description,
          std::u16string sqlState = {}, std::vector<Diagnostic> diagnostics = {});

    std::int32_t Number() const { return number_; }
    const std::u16string& Source() const { return source_; }
    const std::u16string& Description() const { return description_; }
    // The driver's SQLSTATE, empty when the error did not come from ODBC.
    const std::u16string& SqlState() const { return sqlState_; }
    // Every record the driver gave for the failure, warnings included, in its order;
    // empty when the error did not come from ODBC.
    const std::vector<Diagnostic>& Diagnostics() const { return diagnostics_; }

private:
    std::int32_t number_;
    std::u16string source_;
    std::u16string description_;
    std::u16string sqlState_;
    std::vector<Diagnostic> diagnostics_;
};

}  // namespace orvitex::ado

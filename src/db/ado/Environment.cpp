#include "db/ado/Environment.h"

#include "db/ado/Odbc.h"

namespace orvitex::ado {

namespace {

class OdbcEnvironment final : public Environment {
public:
    OdbcEnvironment(odbc::EnvHandle handle, ProviderDrivers drivers)
        : handle_(std::move(handle)), drivers_(std::move(drivers)) {}

    const ProviderDrivers& Drivers() const override { return drivers_; }
    void* NativeHandle() const override { return handle_.Get(); }

private:
    odbc::EnvHandle handle_;
    ProviderDrivers drivers_;
};

}  // namespace

std::shared_ptr<Environment> Environment::Create(ProviderDrivers drivers) {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw))) {
        throw Error(kEFail, u"ADODB.Connection", u"The ODBC environment cannot be allocated.");
    }
    odbc::EnvHandle handle(raw);
    const SQLRETURN rc = SQLSetEnvAttr(handle.Get(), SQL_ATTR_ODBC_VERSION,
                                       reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(rc)) {
        throw odbc::MakeError(odbc::ReadDiagnostics(SQL_HANDLE_ENV, handle.Get()),
                              u"ADODB.Connection");
    }
    return std::make_shared<OdbcEnvironment>(std::move(handle), std::move(drivers));
}

}  // namespace orvitex::ado

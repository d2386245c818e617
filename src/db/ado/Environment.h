#pragma once
// The ODBC environment, and how each OLE DB provider of a connection string is
// served by an ODBC driver. One per program, shared by every connection.
#include <memory>
#include <optional>
#include <string>

namespace orvitex::ado {

struct ProviderDrivers {
    // SQLOLEDB. "SQL Server" is the Windows driver that honours the ConnectTo aliases.
    std::u16string sqlServer = u"SQL Server";
    // Microsoft.Jet.OLEDB.4.0
    std::u16string jet = u"Microsoft Access Driver (*.mdb)";
    // Microsoft OLE DB Provider for Oracle
    std::u16string oracle = u"Microsoft ODBC for Oracle";
    // When set, SQLOLEDB connections are served by this complete ODBC connection
    // string instead (for example "Driver={SQLite3};Database=C:\demo.db"): the
    // embedded central database of a machine without a SQL Server.
    std::optional<std::u16string> sqlServerReplacement;
};

class Environment {
public:
    // Allocates the ODBC environment (ODBC 3). Throws ado::Error when it cannot.
    static std::shared_ptr<Environment> Create(ProviderDrivers drivers = {});
    virtual ~Environment() = default;

    virtual const ProviderDrivers& Drivers() const = 0;
    // The native SQLHENV, for the layer's own objects.
    virtual void* NativeHandle() const = 0;
};

}  // namespace orvitex::ado

#include <gtest/gtest.h>

#include "DriverFixture.h"
#include "db/ado/ConnectionString.h"
#include "db/ado/Error.h"
#include "platform/Text.h"

namespace {

using orvitex::ToUtf8;
using namespace orvitex::ado;
using detail::ConnectionProperties;

TEST(ConnectionString, ParsesKeysAndValuesWithBlanksAndQuotes) {
    const struct {
        const char16_t* text;
        ConnectionProperties expected;
    } cases[] = {
        {u"Provider       ='SQLOLEDB';  Data Source    ='10.0.0.1';   Initial Catalog='orvitex'; "
         u"User Id        ='sa';     Password       ='$19KupTel57@$'     ",
         {{u"Provider", u"SQLOLEDB"},
          {u"Data Source", u"10.0.0.1"},
          {u"Initial Catalog", u"orvitex"},
          {u"User Id", u"sa"},
          {u"Password", u"$19KupTel57@$"}}},
        {u"Password='it''s;here'", {{u"Password", u"it's;here"}}},
        {u"Password=\"say \"\"hi\"\"\"", {{u"Password", u"say \"hi\""}}},
        {u"  ;; Key = spaced value  ;", {{u"Key", u"spaced value"}}},
        {u"Password       ='';User=x", {{u"Password", u""}, {u"User", u"x"}}},
        {u"Data Source=a; data source = b", {{u"Data Source", u"b"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        const auto parsed = detail::ParseOleDb(c.text);
        EXPECT_EQ(parsed.error, u"");
        EXPECT_EQ(parsed.properties, c.expected);
    }
}

TEST(ConnectionString, RejectsMalformedTextWithAReason) {
    for (const char16_t* text : {u"Provider='SQLOLEDB", u"Data Source", u"=value",
                                 u"Password='a'b; User=x", u"A=1; junk ;B=2"}) {
        SCOPED_TRACE(ToUtf8(text));
        const auto parsed = detail::ParseOleDb(text);
        EXPECT_NE(parsed.error, u"");
        EXPECT_TRUE(parsed.properties.empty());
    }
}

TEST(ConnectionString, MapsEachProviderToItsOdbcDriver) {
    const char16_t* main =
        u"Provider       ='SQLOLEDB';  Data Source    ='127.0.0.1,4181';   Initial "
        u"Catalog='orvitex'; User Id        ='sa';     Password       ='$19 Kup;Tel57@$'     ";
    const struct {
        const char* name;
        const char16_t* oleDb;
        const char16_t* expected;
        const char16_t* sqlServer = nullptr;  // the installed SQL Server driver, if not the default
        const char16_t* replacement = nullptr;
    } cases[] = {
        {"SQLOLEDB keeps host,port for the SQL Server driver", main,
         u"Driver={SQL Server};Server=127.0.0.1,4181;Database=orvitex;UID=sa;PWD={$19 "
         u"Kup;Tel57@$}"},
        {"SQLOLEDB on another driver splits host,port", main,
         u"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=4181;Database=orvitex;UID=sa;PWD={$"
         u"19 Kup;Tel57@$}",
         u"PostgreSQL Unicode"},
        // Bug caught: Driver 18 refusing the self-signed server the old provider reached.
        {"a newer SQL Server driver connects as the old provider did", main,
         u"Driver={ODBC Driver 18 for SQL Server};Server=127.0.0.1,4181;Database=orvitex;"
         u"Encrypt=no;TrustServerCertificate=yes;UID=sa;PWD={$19 Kup;Tel57@$}",
         u"ODBC Driver 18 for SQL Server"},
        {"a connection string that names its encryption keeps it",
         u"Provider=SQLOLEDB;Data Source=srv;Use Encryption for Data=True",
         u"Driver={ODBC Driver 17 for SQL Server};Server=srv;Encrypt=True",
         u"ODBC Driver 17 for SQL Server"},
        {"the old driver is given no encryption setting", u"Provider=SQLOLEDB;Data Source=srv",
         u"Driver={sql server};Server=srv", u"sql server"},
        {"SQLOLEDB with a replacement", main, u"Driver={SQLite3};Database=/tmp/central.db", nullptr,
         u"Driver={SQLite3};Database=/tmp/central.db"},
        {"Jet", u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=C:\\x\\..\\LocalData\\OrviTex.mdb;",
         u"Driver={Microsoft Access Driver (*.mdb)};DBQ=C:\\x\\..\\LocalData\\OrviTex.mdb"},
        {"Oracle",
         u"Provider=Microsoft OLE DB Provider for Oracle;Data Source    ='ora1';   Persist "
         u"Security Info=False;         User Id        ='scott';       Password       ='ti}ger'  ",
         u"Driver={Microsoft ODBC for Oracle};Server=ora1;UID=scott;PWD={ti}}ger}"},
        {"DSN", u"Data Source=오르비;", u"DSN=오르비"},
        {"ODBC keywords pass through", u"Driver={SQLite3};Database=/tmp/a b.db",
         u"Driver={SQLite3};Database={/tmp/a b.db}"},
        {"a versioned provider name", u"Provider=SQLOLEDB.1;Data Source=srv",
         u"Driver={SQL Server};Server=srv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProviderDrivers drivers;
        drivers.sqlServer = c.sqlServer ? c.sqlServer : drivers.sqlServer;
        if (c.replacement)
            drivers.sqlServerReplacement = c.replacement;
        const auto parsed = detail::ParseOleDb(c.oleDb);
        ASSERT_EQ(parsed.error, u"");
        EXPECT_EQ(ToUtf8(detail::MapToOdbc(parsed.properties, drivers, u"", u"")),
                  ToUtf8(c.expected));
    }
}

TEST(ConnectionString, MappingThatCannotBeMadeIsAnErrorNamingTheProblem) {
    const struct {
        const char16_t* text;
        std::int32_t number;
        const char* mentions;
    } cases[] = {
        {u"Provider=NoSuch.Provider;Data Source=x", adErrProviderNotFound, "NoSuch.Provider"},
        {u"Provider=Microsoft.Jet.OLEDB.4.0;", kInitStringFormat, "Data Source"},
        {u"Initial Catalog=orvitex", kInitStringFormat, "Data Source"},
        {u"", kInitStringFormat, "connection string"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        const auto parsed = detail::ParseOleDb(c.text);
        try {
            (void)detail::MapToOdbc(parsed.properties, {}, u"", u"");
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), c.number);
            EXPECT_NE(ToUtf8(error.Description()).find(c.mentions), std::string::npos)
                << ToUtf8(error.Description());
        }
    }
}

TEST(ConnectionString, ReadsBackAsTheLayersRenderingAndAMalformedOneFailsTheOpen) {
    orvitex::ado::testing::RecordingEvents events;  // outlives the connection
    auto connection = Connection::Create(Environment::Create());
    connection->SetConnectionString(u"  Provider = 'MSDASQL' ;  Password = 'a b'; ");
    EXPECT_EQ(connection->ConnectionString(), u"Provider=MSDASQL;Password=a b");
    connection->SetConnectionString(u"Provider='unterminated");
    EXPECT_EQ(connection->ConnectionString(), u"Provider='unterminated");
    connection->SetEvents(&events);
    EXPECT_EQ(orvitex::ado::testing::ErrorNumberOf([&] { connection->Open(); }), kInitStringFormat);
    EXPECT_EQ(events.completes,
              (decltype(events.completes){{kInitStringFormat, adStatusErrorsOccurred}}));
    EXPECT_EQ(connection->State(), adStateClosed);
}

}  // namespace

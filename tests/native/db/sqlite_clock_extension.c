/* A SQLite extension for the tests: a server clock stopped at a known moment,
   answering the date statements the program sends to SQL Server
   (GETDATE(), and CONVERT(VARCHAR(30), GETDATE(), 121)). */
#include <stdint.h>

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

static void GetDate(sqlite3_context* context, int argc, sqlite3_value** argv) {
    (void)argc;
    (void)argv;
    sqlite3_result_text(context, "2018-01-23 14:05:09.123", -1, SQLITE_STATIC);
}

/* VARCHAR(n) passes its argument through, and CONVERT(type, value, style) its value. */
static void PassArgument(sqlite3_context* context, int argc, sqlite3_value** argv) {
    (void)argc;
    sqlite3_result_value(context, argv[(intptr_t)sqlite3_user_data(context)]);
}

#ifdef _WIN32
__declspec(dllexport)
#endif
int sqlite3_extension_init(sqlite3* db, char** error, const sqlite3_api_routines* api) {
    (void)error;
    SQLITE_EXTENSION_INIT2(api);
    int rc = sqlite3_create_function(db, "getdate", 0, SQLITE_UTF8, 0, GetDate, 0, 0);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "varchar", 1, SQLITE_UTF8, (void*)0, PassArgument, 0, 0);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "convert", 3, SQLITE_UTF8, (void*)1, PassArgument, 0, 0);
    return rc;
}

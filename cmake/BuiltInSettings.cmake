# Built-in settings of the program. Loopback by default, so that a build nobody
# configured never reaches a foreign host. Override with -D at configure time.
set(ORVITEX_MAIN_SERVER "127.0.0.1" CACHE STRING "Main central SQL Server address (IPv4)")
set(ORVITEX_SECOND_SERVER "127.0.0.2" CACHE STRING "Second central SQL Server address (IPv4)")
set(ORVITEX_MAIN_PORT "4181" CACHE STRING "TCP port of the main central server")
set(ORVITEX_DATABASE "orvitex" CACHE STRING "Main database name")
set(ORVITEX_LOGIN "sa" CACHE STRING "Login on the main server")
set(ORVITEX_PASSWORD "$19KupTel57@$" CACHE STRING "Password of that login")
set(ORVITEX_SQL_DRIVER "SQL Server" CACHE STRING "ODBC driver that serves the SQLOLEDB provider")

# End-to-end: the real orvitex-setup.exe runs the installation unattended against
# a SQLite central database whose stored programs journal their own start.
add_executable(orvitex-journal-start ${CMAKE_CURRENT_LIST_DIR}/journal-start.cpp)
orvitex_warnings(orvitex-journal-start)
target_include_directories(orvitex-journal-start PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_options(orvitex-journal-start PRIVATE -municode)

add_test(NAME e2e.run
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/run.sh
                 $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-journal-start>
                 ${CMAKE_BINARY_DIR}/e2e/run ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh)
set_tests_properties(e2e.run PROPERTIES
    LABELS "e2e;wine"
    TIMEOUT 600
    ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}"
    RESOURCE_LOCK wineprefix)

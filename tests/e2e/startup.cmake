# End-to-end: the real orvitex-setup.exe starts under Wine and Xvfb, writes its
# aliases into the prefix's registry, connects to a SQLite central database and
# shows its window; with the main server unreachable only the message appears.
add_executable(orvitex-probe ${CMAKE_CURRENT_LIST_DIR}/probe.cpp)
orvitex_warnings(orvitex-probe)
target_link_libraries(orvitex-probe PRIVATE orvitex_startup orvitex_platform_win32 user32)
target_link_options(orvitex-probe PRIVATE -municode)

set(ORVITEX_E2E_OUT ${CMAKE_BINARY_DIR}/e2e)
add_test(NAME e2e.startup
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/startup.sh
                 $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-probe> ${ORVITEX_E2E_OUT}
                 ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh)
set_tests_properties(e2e.startup PROPERTIES
    LABELS "e2e;wine"
    TIMEOUT 600
    ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}"
    RESOURCE_LOCK wineprefix)

# The same window in a prefix of its own at 144 dpi.
add_test(NAME e2e.startup.144dpi
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/dpi.sh
                 $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-probe> ${ORVITEX_E2E_OUT}
                 ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh)
set_tests_properties(e2e.startup.144dpi PROPERTIES
    LABELS "e2e;wine"
    TIMEOUT 600
    ENVIRONMENT "ORVITEX_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-144dpi"
    RESOURCE_LOCK wineprefix-144dpi)

# Two real copies at once in the shared prefix.
add_test(NAME e2e.one-copy
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/one_copy.sh
                 $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-probe> ${ORVITEX_E2E_OUT}
                 ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh)
set_tests_properties(e2e.one-copy PROPERTIES
    LABELS "e2e;wine"
    TIMEOUT 600
    ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}"
    RESOURCE_LOCK wineprefix)

# End-to-end: the real orvitex-setup.exe starts under Wine and Xvfb, writes its
# aliases into the prefix's registry, connects to a SQLite central database and
# shows its window; with the main server unreachable only the message appears.
add_executable(orvitex-probe ${CMAKE_CURRENT_LIST_DIR}/probe.cpp)
orvitex_warnings(orvitex-probe)
target_link_libraries(orvitex-probe PRIVATE orvitex_startup orvitex_platform_win32 user32)
target_link_options(orvitex-probe PRIVATE -municode)
target_include_directories(orvitex-probe PRIVATE ${PROJECT_SOURCE_DIR}/tests/win32/common)

set(ORVITEX_E2E_OUT ${CMAKE_BINARY_DIR}/e2e)
# orvitex_e2e(NAME SCRIPT PREFIX [ARGS...]): SCRIPT under wine-run.sh in the Wine prefix
# folder PREFIX, with the installer, the probe, the output folder and the demo
# database builder as its first four arguments.
function(orvitex_e2e name script prefix)
    add_test(NAME ${name}
             COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${script}
                     $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-probe>
                     ${ORVITEX_E2E_OUT} ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh
                     ${ARGN})
    get_filename_component(lock ${prefix} NAME)
    set_tests_properties(${name} PROPERTIES
        LABELS "e2e;wine"
        TIMEOUT 600
        ENVIRONMENT "ORVITEX_WINEPREFIX=${prefix}"
        RESOURCE_LOCK ${lock})
endfunction()

orvitex_e2e(e2e.startup startup.sh ${ORVITEX_WINE_PREFIX})
# Two real copies at once.
orvitex_e2e(e2e.one-copy one_copy.sh ${ORVITEX_WINE_PREFIX})
# The same window in a prefix of its own at 144 dpi; and at 96 and 144 dpi with
# none of the functions newer than Windows 7, as on a clinic's Windows 7 PC.
orvitex_e2e(e2e.startup.144dpi dpi.sh ${CMAKE_BINARY_DIR}/wineprefix-144dpi 144)
orvitex_e2e(e2e.startup.win7.96dpi dpi.sh ${ORVITEX_WINE_PREFIX} 96 win7)
orvitex_e2e(e2e.startup.win7.144dpi dpi.sh ${CMAKE_BINARY_DIR}/wineprefix-144dpi 144 win7)

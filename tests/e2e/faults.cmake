# End-to-end faults: each variant injects one fault into a run of the real
# orvitex-setup.exe and checks that nothing is lost and the technician is told.
add_executable(deny_key ${CMAKE_CURRENT_LIST_DIR}/deny_key.c)
orvitex_warnings(deny_key)
target_include_directories(deny_key PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_options(deny_key PRIVATE -municode)
foreach(variant disk-full denied no-update no-ini bin-file not-exe crash)
    add_test(NAME e2e.faults.${variant}
             COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/faults.sh ${variant}
                     $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:fake-setup>
                     ${CMAKE_BINARY_DIR}/e2e/faults
                     ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh $<TARGET_FILE:deny_key>)
    set_tests_properties(e2e.faults.${variant} PROPERTIES
        LABELS "e2e;wine"
        TIMEOUT 300
        SKIP_RETURN_CODE 77
        ENVIRONMENT "ORVITEX_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix"
        RESOURCE_LOCK wineprefix)
endforeach()

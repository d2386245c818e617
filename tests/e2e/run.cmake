# End-to-end: the real orvitex-setup.exe runs the installation unattended against a
# SQLite central database whose stored programs are copies of the stand-in wizard.
# One test a variant; all but the 144-dpi one share the tests' prefix.
set(e2e_run_args $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:fake-setup> ${CMAKE_BINARY_DIR}/e2e/run
                 ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh $<TARGET_FILE:orvitex-probe>)
foreach(variant complete unknown-code empty-package stuck hang late closed 144dpi)
    add_test(NAME e2e.run.${variant}
             COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/run.sh ${variant}
                     ${e2e_run_args})
    set(prefix wineprefix)
    if(variant STREQUAL "144dpi")
        set(prefix wineprefix-144dpi)
    endif()
    set_tests_properties(e2e.run.${variant} PROPERTIES
        LABELS "e2e;wine"
        TIMEOUT 600
        ENVIRONMENT "ORVITEX_WINEPREFIX=${CMAKE_BINARY_DIR}/${prefix}"
        RESOURCE_LOCK ${prefix})
endforeach()

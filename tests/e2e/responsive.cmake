# End-to-end: the main window answers while the run sleeps and while a fetch is held
# open by a slow link, as orvitex-answer-probe sees it from another process.
foreach(variant sleep held-fetch)
    add_test(NAME e2e.responsive.${variant}
             COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/responsive.sh ${variant}
                     $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-answer-probe>
                     ${CMAKE_BINARY_DIR}/e2e/responsive
                     ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh
                     $<TARGET_FILE:fake-setup> ${CMAKE_BINARY_DIR}/tools/slow-link/slow-link)
    set_tests_properties(e2e.responsive.${variant} PROPERTIES LABELS "e2e;wine" TIMEOUT 300
        ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}" RESOURCE_LOCK wineprefix)
endforeach()

# End-to-end: the main setup is a real NSIS wizard of this build's width, built in
# the test with makensis.
set(nsis_target amd64-unicode)
if(ORVITEX_ARCH STREQUAL "i686")
    set(nsis_target x86-unicode)
endif()
add_test(NAME e2e.nsis.${nsis_target}
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/nsis.sh ${nsis_target}
                 $<TARGET_FILE:orvitex-setup> ${CMAKE_BINARY_DIR}/e2e/nsis
                 ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh
                 ${CMAKE_CURRENT_LIST_DIR}/nsis-wizard.nsi)
set_tests_properties(e2e.nsis.${nsis_target} PROPERTIES LABELS "e2e;wine" TIMEOUT 300
    ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}" RESOURCE_LOCK wineprefix)

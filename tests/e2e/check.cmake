# End-to-end: --check on a ready and on a broken PC.
add_test(NAME e2e.check
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/check.sh
                 $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:fake-setup>
                 ${CMAKE_BINARY_DIR}/e2e/check ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh)
set_tests_properties(e2e.check PROPERTIES
    LABELS "e2e;wine"
    TIMEOUT 600
    ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}"
    RESOURCE_LOCK wineprefix)

# End-to-end: the central PostgreSQL server stopped while a wizard of the run is up.
add_test(NAME e2e.central_loss
         COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/central_loss.sh
                 $<TARGET_FILE:orvitex-setup> $<TARGET_FILE:orvitex-probe> ${CMAKE_BINARY_DIR}/e2e/loss
                 ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh $<TARGET_FILE:fake-setup>)
set_tests_properties(e2e.central_loss PROPERTIES LABELS "e2e;wine" TIMEOUT 300
    ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}" RESOURCE_LOCK wineprefix)

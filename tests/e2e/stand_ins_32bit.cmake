# In the i686 build: the 64-bit installer of build/win64 runs the main installation
# with 32-bit stand-in wizards, as clinics' setup programs are.
if(ORVITEX_ARCH STREQUAL "i686")
    add_test(NAME e2e.run.complete-64bit-installer
             COMMAND ${ORVITEX_WINE_RUN} --host ${CMAKE_CURRENT_LIST_DIR}/run.sh complete
                     ${PROJECT_SOURCE_DIR}/build/win64/orvitex-setup.exe $<TARGET_FILE:fake-setup>
                     ${CMAKE_BINARY_DIR}/e2e/run-64bit-installer
                     ${PROJECT_SOURCE_DIR}/tools/demo-db/build-demo-db.sh $<TARGET_FILE:orvitex-probe>)
    set_tests_properties(e2e.run.complete-64bit-installer PROPERTIES LABELS "e2e;wine" TIMEOUT 600
        ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}" RESOURCE_LOCK wineprefix)
endif()

# The shipped build (presets win64-release and i686-release): the executable
# stripped, its SHA-256 written beside it, and two CTest checks: only DLLs of
# Windows itself are imported, and stripping kept the manifest and the version
# resource.
target_link_options(orvitex-setup PRIVATE -s)

set(exe ${ORVITEX_EXE_NAME}.exe)
set(ORVITEX_RELEASE_SUM ${CMAKE_BINARY_DIR}/${exe}.sha256)
add_custom_command(OUTPUT ${ORVITEX_RELEASE_SUM}
    COMMAND sh -c "sha256sum ${exe} > ${exe}.sha256"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS orvitex-setup
    COMMENT "SHA-256 of ${exe}"
    VERBATIM)
add_custom_target(orvitex-setup-sha256 ALL DEPENDS ${ORVITEX_RELEASE_SUM})

enable_testing()
add_test(NAME release.imports
         COMMAND ${PROJECT_SOURCE_DIR}/tools/check-imports.sh $<TARGET_FILE:orvitex-setup>
                 ${CMAKE_C_COMPILER})
add_test(NAME release.contents
         COMMAND ${PROJECT_SOURCE_DIR}/tools/check-release.sh $<TARGET_FILE:orvitex-setup>)
set_tests_properties(release.contents PROPERTIES ENVIRONMENT "ORVITEX_VERSION=${PROJECT_VERSION}")
set_tests_properties(release.imports release.contents PROPERTIES LABELS release)

# The signing of tools/sign-release.sh, on a copy, with a throwaway certificate.
add_test(NAME release.signing
         COMMAND ${PROJECT_SOURCE_DIR}/tests/tools/signing_test.sh $<TARGET_FILE:orvitex-setup>
                 ${PROJECT_SOURCE_DIR}/tools)
set_tests_properties(release.signing PROPERTIES LABELS release)

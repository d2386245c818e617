# GoogleTest is built from the Debian source package with the project's own
# compiler, so the native build shares the sanitizers and the Windows build
# links it statically.
set(ORVITEX_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${ORVITEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

set(ORVITEX_WINE_RUN "${PROJECT_SOURCE_DIR}/tools/wine-run.sh")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The 32-bit programs skip, with a SKIP line, where the machine cannot run them.
    set(ORVITEX_WINE_RUN env ORVITEX_NEEDS_32BIT=1 ${ORVITEX_WINE_RUN})
endif()
set(ORVITEX_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")

# Registers a Win32 test program, or a slice of it, as a CTest test run under Wine.
#   orvitex_add_wine_test(NAME name TARGET exe-target [FILTER gtest-filter] [LABELS ...]
#                         [ARGS ...] [TIMEOUT seconds])
function(orvitex_add_wine_test)
    cmake_parse_arguments(T "" "NAME;TARGET;FILTER;TIMEOUT" "LABELS;ARGS" ${ARGN})
    set(args ${T_ARGS})
    if(T_FILTER)
        list(APPEND args "--gtest_filter=${T_FILTER}")
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${T_NAME}
             COMMAND ${ORVITEX_WINE_RUN} $<TARGET_FILE:${T_TARGET}> ${args})
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "wine;${T_LABELS}"
        TIMEOUT ${T_TIMEOUT}
        SKIP_RETURN_CODE 77
        ENVIRONMENT "ORVITEX_WINEPREFIX=${ORVITEX_WINE_PREFIX}"
        RESOURCE_LOCK wineprefix)
endfunction()

# A native test program made of every *_test.cpp in the calling folder.
#   orvitex_add_native_tests(name LIBRARIES libs...)
# Its tests carry the label native; pick one layer's tests by name with ctest -R.
function(orvitex_add_native_tests name)
    cmake_parse_arguments(T "" "" "LIBRARIES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    add_executable(${name} ${sources})
    orvitex_warnings(${name})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES} GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} PROPERTIES LABELS native DISCOVERY_TIMEOUT 60)
endfunction()

# A Win32 test program made of every *_test.cpp in the calling folder, with the
# shared entry that reports Wine. Register its CTest slices with orvitex_add_wine_test.
#   orvitex_add_win32_tests(name LIBRARIES libs...)
function(orvitex_add_win32_tests name)
    cmake_parse_arguments(T "" "" "LIBRARIES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    add_executable(${name} ${sources} $<TARGET_OBJECTS:orvitex_wine_main>)
    orvitex_warnings(${name})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES} GTest::gmock GTest::gtest)
    target_link_options(${name} PRIVATE -municode)
endfunction()

# Every test of the calling folder: exit code 77 (wine-run.sh on a machine that
# cannot run 32-bit programs, or a fault a test cannot set up) is a skip.
function(orvitex_tests_may_skip)
    get_property(tests DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTY TESTS)
    if(tests)
        set_tests_properties(${tests} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
endfunction()

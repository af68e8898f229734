# Small helpers so that every CMakeLists.txt stays short.

# zs_core_module(NAME SOURCES...): sources of one Qt-free core module, compiled
# into the zonesmith_core library.
function(zs_core_sources)
    target_sources(zonesmith_core PRIVATE ${ARGN})
endfunction()

# zs_test(NAME SOURCES... [LIBS ...]): a GoogleTest executable registered with ctest.
function(zs_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zonesmith_core GTest::gtest_main GTest::gmock ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE ZS_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# Small helpers so that every CMakeLists.txt stays short.

# zs_layer(NAME [SOURCES ...] [USES LAYER...] [LIBS ...]): the library
# zonesmith_NAME of the layer in src/NAME (see src/README.md). The layer's
# headers are reachable as "NAME/..." only through its own include root in the
# build tree (layers/NAME/NAME, a link to the folder), and a target gets that
# root only by linking the layer, directly or through a layer that USES it. So
# an include of a layer not declared here is "file not found" at build time.
# Without sources the library is an INTERFACE one: it holds the layer's place
# and its dependencies until the layer has code.
function(zs_layer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;USES;LIBS" ${ARGN})
    set(root "${PROJECT_BINARY_DIR}/layers/${name}")
    file(MAKE_DIRECTORY "${root}")
    if(NOT IS_SYMLINK "${root}/${name}")
        file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${name}" SYMBOLIC)
    endif()
    set(target zonesmith_${name})
    if(ARG_SOURCES)
        add_library(${target} STATIC ${ARG_SOURCES})
        set(scope PUBLIC)
    else()
        add_library(${target} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} "${root}")
    list(TRANSFORM ARG_USES PREPEND zonesmith_)
    target_link_libraries(${target} ${scope} ${ARG_USES} ${ARG_LIBS} zonesmith_warnings)
endfunction()

# zs_test(NAME SOURCES... [LIBS ...] [TIMEOUT SECONDS]): a GoogleTest
# executable registered with ctest, built on the Qt-free core; each test it
# holds may run TIMEOUT seconds (300 when not given).
function(zs_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zonesmith_core GTest::gtest_main GTest::gmock ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE ZS_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${ARG_TIMEOUT})
endfunction()

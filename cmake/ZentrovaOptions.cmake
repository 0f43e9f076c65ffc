# Warnings and sanitizers as an interface target that every target of the project links
# PRIVATE: each one that compiles or links code names it itself, and no target hands it on.
add_library(zentrova_options INTERFACE)
add_library(zentrova::options ALIAS zentrova_options)
# Conversions that change a value's sign or range are written out, so that each one is seen.
target_compile_options(zentrova_options INTERFACE -Wall -Wextra -Wshadow -Wconversion
    -Wsign-conversion -Wold-style-cast -Wnon-virtual-dtor)
if(ZENTROVA_WERROR)
    target_compile_options(zentrova_options INTERFACE -Werror)
endif()
target_include_directories(zentrova_options INTERFACE ${PROJECT_SOURCE_DIR})

if(ZENTROVA_SANITIZE)
    target_compile_options(zentrova_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
    target_link_options(zentrova_options INTERFACE -fsanitize=address,undefined)
endif()

if(ZENTROVA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "ZENTROVA_FUZZ needs clang")
    endif()
    # Coverage for the fuzzers; only the fuzz executables link the fuzzer's main.
    target_compile_options(zentrova_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# zentrova_add_test(NAME [GUI] SOURCES a.cpp b.cpp LIBS lib... [ENVIRONMENT VAR=value...])
# GUI tests run real widgets on Qt's offscreen platform.
function(zentrova_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zentrova::options zentrova::test_support ${ARG_LIBS}
        GTest::gtest GTest::gtest_main)
    # Under Wine, on a busy machine, listing the tests can take longer than the 5 s default.
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
    endif()

    set(environment "ZENTROVA_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${ARG_ENVIRONMENT})
    if(ARG_GUI)
        # Qt and the libraries under it keep caches for the life of the process that
        # LeakSanitizer would report; the file names those libraries only.
        list(APPEND environment "QT_QPA_PLATFORM=offscreen"
            "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
    endif()
    # gtest_discover_tests flattens a list-valued ENVIRONMENT, so the discovered tests get
    # theirs from a file that ctest reads after discovery.
    set(file "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
    file(WRITE "${file}"
        "set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${environment}]==])\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()

# Warnings and sanitizers as interface targets that every target of the project links.
add_library(zentrova_options INTERFACE)
add_library(zentrova::options ALIAS zentrova_options)
target_compile_options(zentrova_options INTERFACE -Wall -Wextra)
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

# zentrova_add_test(NAME SOURCES a.cpp b.cpp LIBS lib...)
function(zentrova_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zentrova::options zentrova::test_support ${ARG_LIBS}
        GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "ZENTROVA_SOURCE_DIR=${PROJECT_SOURCE_DIR};${ARG_ENVIRONMENT}")
endfunction()

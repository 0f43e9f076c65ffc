zentrova_add_test(registry_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_test.cpp
    LIBS platform::services)
zentrova_add_test(dir_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/dir_test.cpp
    LIBS platform::services)
zentrova_add_test(shell_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_test.cpp
    LIBS platform::services)

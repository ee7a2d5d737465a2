# tests of the shell opener, launcher, help and commands
mossleaf_add_test(link_launcher_test WIDGETS
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_launcher_test.cpp
    LIBS mossleaf_gui)
mossleaf_add_test(system_shell_opener_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/system_shell_opener_test.cpp
    LIBS mossleaf_gui)
mossleaf_add_test(launch_commands_test WIDGETS
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/launch_commands_test.cpp
    LIBS mossleaf_gui)
# The shipped manual, in the build tree and installed; needs the program built first.
mossleaf_add_test(help_page_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_page_test.cpp
    LIBS mossleaf_gui)
add_dependencies(help_page_test mossleaf)
target_compile_definitions(help_page_test PRIVATE
    MOSSLEAF_PROGRAM_DIR="$<TARGET_FILE_DIR:mossleaf>"
    MOSSLEAF_BUILD_DIR="${CMAKE_BINARY_DIR}"
    MOSSLEAF_CMAKE_COMMAND="${CMAKE_COMMAND}"
    MOSSLEAF_HELP_SOURCE="${CMAKE_SOURCE_DIR}/src/launch/help.htm")
mossleaf_add_test(responsive_launch_test WIDGETS
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/responsive_launch_test.cpp
    LIBS mossleaf_gui)

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

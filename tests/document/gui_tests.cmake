# widget tests of the file commands
mossleaf_add_test(file_commands_widget_test WIDGETS
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_commands_widget_test.cpp
    LIBS mossleaf_gui)

# tests of the text utilities (no widgets)
mossleaf_add_test(char_utils_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/char_utils_test.cpp
    LIBS mossleaf_core)

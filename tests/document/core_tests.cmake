# tests of the core (no widgets)
mossleaf_add_test(outline_reader_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/outline_reader_test.cpp
    LIBS mossleaf_core)
mossleaf_add_test(outline_round_trip_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/outline_round_trip_test.cpp
    LIBS mossleaf_core)
mossleaf_add_test(outline_save_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/outline_save_test.cpp
    LIBS mossleaf_core)
mossleaf_add_test(node_collection_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/node_collection_test.cpp
    LIBS mossleaf_core)
mossleaf_add_test(document_ops_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/document_ops_test.cpp
    LIBS mossleaf_core)
mossleaf_add_test(text_codec_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_codec_test.cpp
    LIBS mossleaf_core)

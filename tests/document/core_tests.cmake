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

# The outline round trip on mutated seeds (a fixed set, always run), and the same check as a
# libFuzzer target when building with clang and MOSSLEAF_FUZZ=ON.
mossleaf_add_test(outline_fuzz_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_entry.cpp
    LIBS mossleaf_core)

option(MOSSLEAF_FUZZ "Build the libFuzzer target outline_fuzzer (clang only)" OFF)
if(MOSSLEAF_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "MOSSLEAF_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
    endif()
    # The core's sources are compiled again with coverage instrumentation and sanitizers.
    get_target_property(core_sources mossleaf_core SOURCES)
    add_executable(outline_fuzzer
        ${CMAKE_CURRENT_LIST_DIR}/outline_fuzzer.cpp
        ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_entry.cpp
        ${core_sources})
    target_include_directories(outline_fuzzer PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(outline_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined -g)
    target_link_options(outline_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
endif()

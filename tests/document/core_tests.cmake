# tests of the core (no widgets)
foreach(name outline_reader_test outline_round_trip_test outline_save_test atomic_file_test
             node_collection_test
             document_ops_test text_codec_test typed_text_test)
    mossleaf_add_test(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp LIBS mossleaf_core)
endforeach()

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

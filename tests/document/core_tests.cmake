# tests of the core (no widgets)
foreach(name outline_reader_test outline_round_trip_test outline_save_test atomic_file_test
             node_collection_test
             document_ops_test text_codec_test typed_text_test)
    mossleaf_add_test(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp LIBS mossleaf_core)
endforeach()

# The outline round trip on mutated seeds (a fixed set, always run; MOSSLEAF_FUZZ_RUNS lowers
# the count). The same check as a libFuzzer target: outline_fuzzer.cmake.
mossleaf_add_test(outline_fuzz_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_entry.cpp
            ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_edits.cpp
    LIBS mossleaf_core)

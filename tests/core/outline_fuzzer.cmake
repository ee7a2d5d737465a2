# The libFuzzer target outline_fuzzer (clang only), included by the top level when
# MOSSLEAF_FUZZ is on, with or without the tests. The core's sources are compiled again with
# coverage instrumentation and sanitizers. Run from the build folder with a max_len that
# reaches files of more than 512 records:
#   mkdir -p corpus && ./outline_fuzzer -max_len=8192 \
#       -dict=../tests/core/outline_fuzzer.dict -runs=10000000 corpus
# MOSSLEAF_FUZZ_SKIP_LEFTOVERS=1 leaves out the user's files placed beside the saved one.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "MOSSLEAF_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
endif()
get_target_property(core_sources mossleaf_core SOURCES)
get_target_property(core_dir mossleaf_core SOURCE_DIR)
list(TRANSFORM core_sources PREPEND ${core_dir}/)
add_executable(outline_fuzzer
    ${CMAKE_CURRENT_LIST_DIR}/outline_fuzzer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_entry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_fuzz_edits.cpp
    ${core_sources})
target_include_directories(outline_fuzzer PRIVATE ${CMAKE_BINARY_DIR}/include_roots/core)
target_link_libraries(outline_fuzzer PRIVATE mossleaf_warnings)
target_compile_options(outline_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined -g)
target_link_options(outline_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)

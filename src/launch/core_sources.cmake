target_sources(mossleaf_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/char_utils.cpp)

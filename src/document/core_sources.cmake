target_sources(mossleaf_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/node_collection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stored_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/document.cpp)

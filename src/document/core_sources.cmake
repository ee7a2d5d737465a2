target_sources(mossleaf_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/node_collection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stored_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/number_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outline_save.cpp
    ${CMAKE_CURRENT_LIST_DIR}/typed_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/document.cpp)

# Qt side of the document subsystem: the file dialog and the file commands.
target_sources(mossleaf_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/common_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/local_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_commands.cpp)

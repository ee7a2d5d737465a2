# Qt side of launching: shell opener, link launcher, help, Copy/Execute commands
target_sources(mossleaf_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/system_shell_opener.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app_dir.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_launcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/body_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launch_commands.cpp)

# mossleaf_render_icon(<svg> <png> <size>)
# Renders an SVG picture into a square PNG of <size> pixels at build time, so that every
# installed size comes from the one vector source.
find_package(Qt6 REQUIRED COMPONENTS Gui Svg)

if(NOT TARGET mossleaf_icon_png)
    add_executable(mossleaf_icon_png ${CMAKE_CURRENT_LIST_DIR}/../tools/mossleaf_icon_png.cpp)
    target_link_libraries(mossleaf_icon_png PRIVATE Qt6::Gui Qt6::Svg)
endif()

function(mossleaf_render_icon svg png size)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:mossleaf_icon_png> ${svg} ${png} ${size}
        DEPENDS ${svg} mossleaf_icon_png
        COMMENT "Rendering ${size} px icon from ${svg}"
        VERBATIM)
endfunction()

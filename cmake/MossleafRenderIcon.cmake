# mossleaf_render_icon(<svg> <png> <size>)
# Adds a build rule that draws <svg> into a <size> × <size> PNG at <png> (a path in the build
# tree) with the mossleaf_icon_png tool, redrawn whenever the SVG or the tool changes. Add
# <png> to a target's sources or to an add_custom_target's DEPENDS so that it gets built.
function(mossleaf_render_icon svg png size)
    get_filename_component(folder "${png}" DIRECTORY)
    add_custom_command(OUTPUT "${png}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
        COMMAND mossleaf_icon_png "${svg}" "${png}" ${size}
        DEPENDS "${svg}" mossleaf_icon_png
        COMMENT "Drawing ${size} px icon ${png}"
        VERBATIM)
endfunction()

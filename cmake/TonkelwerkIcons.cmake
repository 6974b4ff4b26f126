# tonkelwerk_icon_pngs(<variable> SIZES <pixels>...): the program icon as PNG
# pictures of the given square sizes, drawn at build time from
# packaging/desktop/tonkelwerk.svg with rsvg-convert (librsvg2-bin) into
# icons/<pixels>/tonkelwerk.png of the calling folder's build folder; their
# paths go into <variable>. A size that the folder has drawn already is
# reused, not drawn twice. Leaves out: installing them, and any other picture.
function(tonkelwerk_icon_pngs variable)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SIZES")
  find_program(TONKELWERK_RSVG_CONVERT rsvg-convert REQUIRED)
  set(svg ${PROJECT_SOURCE_DIR}/packaging/desktop/tonkelwerk.svg)
  get_directory_property(drawn TONKELWERK_ICON_SIZES_DRAWN)
  set(pngs)
  foreach(size IN LISTS arg_SIZES)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}/tonkelwerk.png)
    if(NOT size IN_LIST drawn)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory icons/${size}
        COMMAND ${TONKELWERK_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
        DEPENDS ${svg} VERBATIM)
      list(APPEND drawn ${size})
    endif()
    list(APPEND pngs ${png})
  endforeach()
  set_directory_properties(PROPERTIES TONKELWERK_ICON_SIZES_DRAWN "${drawn}")
  set(${variable} ${pngs} PARENT_SCOPE)
endfunction()

# The sizes that the Linux desktops find in the hicolor icon theme, and that
# the Linux window carries.
set(TONKELWERK_ICON_SIZES 16 22 24 32 48 64 128 256)

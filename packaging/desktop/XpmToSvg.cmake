# Draws an XPM picture as SVG, one square per pixel, so the scalable icon
# is the program's own icon and stays sharp at any size. Horizontal runs of
# one colour become one rectangle.
#
#   cmake -DXPM=in.xpm -DSVG=out.svg -P XpmToSvg.cmake
cmake_minimum_required(VERSION 3.25)

file(READ "${XPM}" text)
string(REGEX MATCHALL "\"[^\"]*\"" rows "${text}")
list(TRANSFORM rows REPLACE "^\"(.*)\"$" "\\1")

list(POP_FRONT rows header)
separate_arguments(header UNIX_COMMAND "${header}")
list(GET header 0 width)
list(GET header 1 height)
list(GET header 2 colours)
list(GET header 3 characters_per_pixel)
if(NOT characters_per_pixel EQUAL 1)
  message(FATAL_ERROR "${XPM}: only one character per pixel is drawn, the file has ${characters_per_pixel}")
endif()

# Each pixel character's fill, keyed by the character's hex code so any
# character makes a valid variable name.
foreach(i RANGE 1 ${colours})
  list(POP_FRONT rows entry)
  string(SUBSTRING "${entry}" 0 1 key)
  string(HEX "${key}" key)
  if(NOT entry MATCHES "[ \t]c[ \t]+([^ \t]+)")
    message(FATAL_ERROR "${XPM}: colour entry '${entry}' has no 'c' colour")
  endif()
  set(fill_${key} "${CMAKE_MATCH_1}")
endforeach()

set(svg "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"${width}\" height=\"${height}\" viewBox=\"0 0 ${width} ${height}\" shape-rendering=\"crispEdges\">\n")
math(EXPR last_row "${height} - 1")
foreach(y RANGE ${last_row})
  list(GET rows ${y} row)
  set(x 0)
  while(x LESS width)
    string(SUBSTRING "${row}" ${x} 1 key)
    string(HEX "${key}" key)
    set(run_start ${x})
    math(EXPR x "${x} + 1")
    string(SUBSTRING "${row}" ${x} 1 next)
    string(HEX "${next}" next)
    while(x LESS width AND next STREQUAL key)
      math(EXPR x "${x} + 1")
      string(SUBSTRING "${row}" ${x} 1 next)
      string(HEX "${next}" next)
    endwhile()
    set(fill "${fill_${key}}")
    if(NOT fill STREQUAL "None")
      math(EXPR run_width "${x} - ${run_start}")
      string(APPEND svg "  <rect x=\"${run_start}\" y=\"${y}\" width=\"${run_width}\" height=\"1\" fill=\"${fill}\"/>\n")
    endif()
  endwhile()
endforeach()
string(APPEND svg "</svg>\n")
file(WRITE "${SVG}" "${svg}")

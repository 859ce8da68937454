# Fails when a file of the logic library includes a header it must not see:
# Qt's Gui, Widgets, PrintSupport or Test modules, CUPS, XCB, or a header of
# the screens' folders. (Qt's include root is on every path, so
# <QtWidgets/...> would compile there; this check is what keeps it out.)
#   cmake -DSRC=<src folder> -P check_logic_includes.cmake
set(forbidden
  "#include[ \t]*[<\"](QtGui|QtWidgets|QtPrintSupport|QtTest|cups|xcb)/"
  "#include[ \t]*[<\"](widgets|order_screen|menu|entry|printers|startup)/")
set(found "")
foreach(folder runtime data order sending)
  file(GLOB files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  foreach(f ${files})
    file(STRINGS "${f}" lines REGEX "^[ \t]*#include")
    foreach(line ${lines})
      foreach(pattern ${forbidden})
        if(line MATCHES "${pattern}")
          string(APPEND found "  ${f}: ${line}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "The logic library includes what only the screens may:\n${found}")
endif()

# Installing the terminal and its Debian package (cpack -G DEB, see scripts/package).
#
# The program folder is one directory under /opt holding the binary and the
# icon folder it loads by name from beside itself. The technician adds
# Ruta_Datos.txt (and, optionally, Empresa.txt) to that folder as root after
# installing; the package ships neither, so an upgrade or a removal never
# touches them and no maintainer script is needed.
# The test and demo programs get no install rules: the package holds the
# terminal, its CUPS backend, the technician's certificate maker and an
# example of the terminal's option file.

set(PEDIDOS_PROGRAM_DIR "/opt/pedidos" CACHE PATH "Program folder of the installed terminal")
set(PEDIDOS_PACKAGE_MAINTAINER
    "Pedidos maintainers <maintainers@users.noreply.c-seed-b84ad77f.example>"
    CACHE STRING "Maintainer field of the Debian package")

install(TARGETS pedidos RUNTIME DESTINATION "${PEDIDOS_PROGRAM_DIR}")
# The CUPS backend for ESC/POS kitchen printers (device URI escpos://HOST:PORT).
# The scheduler runs a backend only when root owns it and no one else may
# write it; mode 0755 has it run as lp (0700 would run it as root). The
# package's files are root's.
install(PROGRAMS "$<TARGET_FILE:pedidos_escpos_backend>" DESTINATION "/usr/lib/cups/backend"
        RENAME escpos
        PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(FILES ${PEDIDOS_ICON_FILES} DESTINATION "${PEDIDOS_PROGRAM_DIR}/iconos")
# The certificates of the private (TLS) link to the database server: a
# program of Pedidos, so it goes in the program folder the technician already
# works in (the manual names it), beside the terminal, rather than in a data
# folder under /usr/share; it needs only bash and openssl (Suggests).
install(PROGRAMS "${CMAKE_SOURCE_DIR}/scripts/tls-certs" DESTINATION "${PEDIDOS_PROGRAM_DIR}"
        PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The terminal's option file, every key commented out with what it does.
install(FILES "${CMAKE_SOURCE_DIR}/demo/pedidos.cnf" DESTINATION "/usr/share/doc/pedidos/examples")

# The menu entry and its icon: the brand mark's 48 px image from Vandrel.ico
# (the window icon of the terminal), written as a PNG at build time.
find_program(PEDIDOS_CONVERT convert)
if(NOT PEDIDOS_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert is missing (package imagemagick; scripts/deps installs it): "
                      "it draws the menu entry's icon.")
endif()
set(PEDIDOS_DESKTOP_ICON "${CMAKE_BINARY_DIR}/desktop/pedidos.png")
add_custom_command(OUTPUT "${PEDIDOS_DESKTOP_ICON}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/desktop"
  # The last image of the .ico is its largest, 48 x 48; -strip leaves out the
  # time stamps so the same icon gives the same file.
  COMMAND "${PEDIDOS_CONVERT}" "${CMAKE_SOURCE_DIR}/src/iconos/Vandrel.ico[-1]" -strip
          "PNG32:${PEDIDOS_DESKTOP_ICON}"
  DEPENDS "${CMAKE_SOURCE_DIR}/src/iconos/Vandrel.ico"
  COMMENT "Menu entry icon from Vandrel.ico"
  VERBATIM)
add_custom_target(pedidos_desktop_icon ALL DEPENDS "${PEDIDOS_DESKTOP_ICON}")
install(FILES "${PEDIDOS_DESKTOP_ICON}" DESTINATION "/usr/share/icons/hicolor/48x48/apps")

file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/desktop/pedidos.desktop" @ONLY CONTENT [=[
[Desktop Entry]
Type=Application
Name=Pedidos
GenericName=Terminal de pedidos
Comment=Toma de pedidos para restaurantes y bares
Exec=@PEDIDOS_PROGRAM_DIR@/pedidos
Icon=pedidos
Terminal=false
Categories=Office;
]=])
install(FILES "${CMAKE_BINARY_DIR}/desktop/pedidos.desktop" DESTINATION "/usr/share/applications")

# The Debian package. Its Depends come from dpkg-shlibdeps, which names the
# package of every shared library the binary links, with the versions it
# needs: Qt 6 widgets, gui, print support and core, MariaDB Connector/C,
# libcups2 and the C++ runtime (scripts/package-check fails when one of them
# goes missing). Qt's platform plugins (xcb, offscreen) and its .ico reader
# come with libqt6gui6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pedidos)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${PEDIDOS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Touch-screen order terminal for restaurants and bars")
# One text line per control-file line, kept under 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A waiter picks a table, walks the menu buttons and sends the order: it is"
  "stored in the restaurant's shared MariaDB/MySQL database and printed on the"
  "kitchen printer through CUPS. The program is installed in ${PEDIDOS_PROGRAM_DIR};"
  "its configuration file Ruta_Datos.txt goes into that folder.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PEDIDOS_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# tls-certs runs openssl; the terminal itself does not need it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS openssl)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The Debian package: orvik_<version>_<arch>.deb, built by scripts/package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvik)
set(CPACK_PACKAGE_VENDOR "The Orvik Simulator developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulated 8-bit computer with assembler, for teaching")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvik Simulator is a teaching tool: a simulated 8-bit computer (256 memory cells,\n"
    "sixteen registers, two-byte instructions) with its own assembler, a\n"
    "syntax-highlighting editor, hex views of memory and registers, a disassembly\n"
    "list that follows the program counter and an output terminal. orvik-cli\n"
    "assembles and runs programs without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "The Orvik Simulator developers <orvik.simulator@orvik-simulator.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvik-simulator.org/")
# dpkg-shlibdeps finds the libraries the programs link (the Qt 6 core, gui,
# widgets and print support runtimes, the C++ runtime); Qt loads its
# display plugin and the windows name the DejaVu faces only at run time, so
# those two are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
# The desktop's file associations and icon cache are refreshed by the
# triggers of these packages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme, xdg-utils")

include(CPack)

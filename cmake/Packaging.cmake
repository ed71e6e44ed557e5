# Debian package: `cpack -G DEB` in the build folder writes lineforge_<version>-<release>_<arch>.deb
# from the install rules of cmake/Install.cmake, with the prefix /usr.
set(CPACK_PACKAGE_NAME lineforge)
set(CPACK_PACKAGE_VENDOR "Lineforge")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lineforge developers <packages@lineforge.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "insert the same lines of text into many Word documents")
# The long text below the summary, in lines short enough for the package tools.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lineforge Suite inserts the same lines of text into many Word documents in"
    "one run: as the first line, as the last line, or before or after every"
    "occurrence of a marker text, in a chosen font name and size, saving every"
    "document in place. It edits .docx, .docm, .dotx and .dotm documents itself"
    "and needs no word processor."
    ""
    "The package holds the desktop program lineforge (Lineforge Suite in the"
    "Office menu), the command lineforge-batch that does the same without a"
    "window, and a folder of sample documents.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from dpkg-shlibdeps (Qt, libzip, pugixml, fontconfig, the C++ runtime). The X11
# platform plugin ships in libqt6gui6, and fontconfig brings a default font with it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening the sample folder in the file manager goes through xdg-open; qt6-wayland lets the
# window run natively in a Wayland session instead of through XWayland; the window asks for
# Arial, which fontconfig maps to Liberation Sans with the same metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland, fonts-liberation2")

include(CPack)

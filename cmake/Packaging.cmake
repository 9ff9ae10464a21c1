# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts on a system, and the Debian package built from it by `cpack -G DEB`.
# Only the program and its desktop integration are installed: the libraries, tests and benchmarks
# stay in the build tree.

include(GNUInstallDirs)

# `cmake --install` and cpack install what is built; they do not build every test and benchmark
# first (scripts/package builds the program, the install tests run after the whole build).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(PEP_DATA_DIR ${CMAKE_SOURCE_DIR}/data)
set(PEP_APP_ID io.github.pepsim.pepsim)

install(TARGETS pepsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PEP_DATA_DIR}/pepsim.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PEP_DATA_DIR}/pepsim.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PEP_DATA_DIR}/pepsim-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME pepsim.xml)
install(FILES ${PEP_DATA_DIR}/${PEP_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PEP_DATA_DIR}/copyright ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- Debian package ---------------------------------------------------------------
set(PEP_PACKAGE_MAINTAINER "pepsim developers <pepsim@localhost>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME pepsim)
set(CPACK_PACKAGE_VENDOR "pepsim developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator of layered piezoelectric ultrasonic transducers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "pepsim computes how a pulse generator excites a stack of seven layers (backing, two\n"
    "electrodes, piezoelectric plate, protector, liquid layer, test object) and how the\n"
    "ultrasonic pulse travels through them: coupled elastic and piezoelectric equations on a\n"
    "one-dimensional finite-difference time-domain grid, with the generator circuit advanced in\n"
    "lockstep. Three windows show the field along the stack, the circuit signals and their\n"
    "spectrum; project files keep every input. The interface is in Russian.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/pepsim/pepsim")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PEP_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the executable links, with their versions, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Cyrillic text on a machine without a desktop's fonts, and Qt's own dialog texts (file dialogs,
# standard buttons) in Russian. Recommends, not Depends: without either the program still works, with
# a fallback font or English buttons, and a minimal install may leave them out.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

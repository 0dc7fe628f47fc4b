# The Debian package: `cpack -G DEB` in the build directory makes
# zenorb_<version>_<arch>.deb of everything the install rules install, laid
# out under /usr. `cmake --install --prefix` is unaffected: the prefix below
# is CPack's alone.

set(ZENORB_PACKAGE_MAINTAINER "The Zenorb developers <maintainers@zenorb.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zenorb)
set(CPACK_PACKAGE_VERSION ${ZENORB_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zenorb developers")
set(CPACK_PACKAGE_CONTACT ${ZENORB_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "solar system simulator under Newtonian gravity")
set(CPACK_PACKAGE_DESCRIPTION
"Zenorb builds the Sun, the eight planets, the Moon and Pluto for a start
date from J. Meeus' analytic theories, integrates all bodies together under
Newtonian gravity and draws them in a window. Comets and asteroids can be
added from the Minor Planet Center's lists or JPL's Small-Body Database, and
a run saved as pictures or an MP4 film.

The package holds the desktop program zenorb, the headless simulator
zenorb-sim, which prints the states without a display, and the user guide.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZENORB_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zenorb.github.io/")
# The Depends line from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)

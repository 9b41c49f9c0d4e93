# `cpack -G DEB` in the build folder makes kalvestrin_VERSION_amd64.deb, its
# dependencies computed from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvestrin)
set(CPACK_PACKAGE_VENDOR "Kalvestrin developers")
set(CPACK_PACKAGE_CONTACT "Kalvestrin developers <kalvestrin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test of picture recognition under masking")
set(CPACK_PACKAGE_DESCRIPTION
    "Kalvestrin administers and scores one psychological test: recognition of\npictures under masking. An examiner builds a test design; a subject sees each\npicture first heavily masked, then less, until it is recognised. Results are\nshown, printed, archived and stored in a results database that the examiner\nbrowses, queries and exports. The interface is in Croatian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the display plugins,
# and Qt's own dialogs in Croatian.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kalvestrin.example.org/")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)

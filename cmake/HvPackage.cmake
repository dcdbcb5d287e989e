# The Debian package, built by CPack from the install rules (scripts/package.sh).
set(HV_MAINTAINER "HALVANE-2 maintainers <maintainers@users.noreply.c-seed-a1075cbc.example>"
    CACHE STRING "Maintainer of the Debian package")
set(HV_RELEASE_DATE_DEB "Tue, 08 Dec 2026 00:00:00 +0000" CACHE STRING "Date of this release (RFC 2822)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvane2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${HV_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${HV_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see it: the SQLite driver of the results database.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-sqlite)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-ipafont-gothic)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "benchmark and workbench for astronomical CCD images")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "HALVANE-2 measures how fast this computer processes astronomical CCD
images: sixteen synthetic star fields are written and read as 16-bit FITS
files, shown, summed and convolved, and the time of each stage is shown
with a score. It is also an image workbench for FITS, BMP and PPM files
(zoom, display range, pixel values, star FWHM, edits, filters, saving as
BMP). The program's own text is Japanese.
.
halvane2-cli runs the benchmark and every image command without a
display.")
# Directories the package creates are 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
include(CPack)

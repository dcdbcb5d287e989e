#!/usr/bin/env bash
# Builds the Debian package: a Release tree in build-package/, then build/halvane2_<version>_<arch>.deb.
# Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev gives Debian's hardening flags and dpkg-shlibdeps (the package's dependencies); the rest of
# what the build needs comes through scripts/setup.sh.
scripts/install-packages.sh package dpkg-dev file

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
args="-DCMAKE_BUILD_TYPE=Release -DHV_TESTS=OFF -DHV_BENCH=OFF"
if command -v ccache >/dev/null; then
  args+=" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
HV_CMAKE_ARGS="$args ${HV_CMAKE_ARGS:-}" scripts/setup.sh build-package

rm -f build-package/cpack/*.deb
cpack --config build-package/CPackConfig.cmake -B build-package/cpack
mkdir -p build
debs=(build-package/cpack/*.deb)
mv -f "${debs[@]}" build/
echo "build/$(basename "${debs[0]}")"

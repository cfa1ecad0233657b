#!/usr/bin/env bash
# Builds the Debian package, lapora_VERSION_ARCH.deb, into the project folder:
# a release build of the programs alone (no tests) in build-package/, packed
# by CPack's DEB generator.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Debian's own compiler and linker flags, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
if [[ ! -f build-package/CMakeCache.txt ]]; then
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DLAPORA_TESTS=OFF \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
fi
cmake --build build-package --parallel "$(nproc)"
rm -f build-package/lapora_*.deb
(cd build-package && cpack -G DEB >/dev/null)
cp build-package/lapora_*.deb .
ls lapora_*.deb

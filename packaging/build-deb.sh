#!/usr/bin/env bash
# Builds the Debian package in build-deb/ and checks it with lintian:
# packaging/build-deb.sh [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh lintian
scripts/build.sh build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
(cd build-deb && rm -f velkor32_*.deb && cpack -G DEB)
package=$(ls build-deb/velkor32_*.deb)
# Errors fail the build; warnings are shown.
lintian --fail-on error "$package"
echo "$package"

#!/usr/bin/env bash
# Installs the Debian packages the build needs (as root), or says how to.
set -euo pipefail

packages=(cmake make g++ qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libgtest-dev
          libgmock-dev libbenchmark-dev clang-format fonts-dejavu-core fonts-dejavu-extra
          fonts-liberation2 xdg-utils ccache desktop-file-utils appstream man-db file dpkg-dev
          clang libclang-rt-14-dev clang-tidy cppcheck libcli11-dev groff-base "$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
    echo "Missing packages. Run:"
    echo "  sudo apt-get install ${missing[*]}"
    exit 1
fi

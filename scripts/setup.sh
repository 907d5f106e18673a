#!/bin/bash
# Installs what building and testing Vantrel needs, from Debian's packages
# only, and nothing that is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 xvfb xauth x11-utils xdotool imagemagick libarchive-tools fonts-wine
  python3 openssl util-linux librsvg2-bin
  libcurl4-openssl-dev libssl-dev dpkg-dev zip
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows build's libcurl is built from Debian's curl source package
# (scripts/build-libcurl.sh), which apt offers once a deb-src entry exists.
if [ -z "$(apt-cache showsrc curl 2>/dev/null)" ]; then
  echo "setup: adding Debian's source package index"
  cat >/etc/apt/sources.list.d/vantrel-debian-src.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt-get update -qq
fi

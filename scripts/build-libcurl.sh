#!/bin/bash
# Builds the static libcurl that Vantrel.exe links: Schannel (Windows' own
# TLS), HTTP and HTTPS only, from Debian's curl source package with Debian's
# patches applied. The result is kept in a cache outside the repository,
# keyed by the source package's version and by the build options and the
# toolchain, and built only when missing: a changed option builds anew.
#   build-libcurl.sh            build if missing, then print the prefix
#   build-libcurl.sh --prefix   print the prefix for the current version only
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cache=${VANTREL_CACHE:-/var/cache/vantrel}

version=$(apt-cache showsrc curl 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1)
if [ -z "$version" ]; then
  echo "build-libcurl: no curl source package known to apt; run scripts/setup.sh" >&2
  exit 1
fi
toolchain="$VANTREL_SOURCE/cmake/mingw-w64-x86_64.cmake"
# Only what the update check uses: HTTP GET over Schannel. Certificate paths
# are "none" so the Linux host's bundle paths are never baked in; the
# toolchain's find-root modes keep host libraries out.
options=(
  -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF
  -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF
  -DCURL_WINDOWS_SSPI=ON -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none -DHTTP_ONLY=ON
  -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF
  -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF
  -DCURL_USE_LIBPSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF -DCURL_USE_GSSAPI=OFF
  -DENABLE_UNIX_SOCKETS=OFF -DCURL_DISABLE_ALTSVC=ON -DCURL_DISABLE_HSTS=ON
  -DCURL_DISABLE_COOKIES=ON -DCURL_DISABLE_NTLM=ON -DCURL_DISABLE_NETRC=ON
  -DCURL_DISABLE_DOH=ON -DCURL_DISABLE_MIME=ON -DCURL_DISABLE_PROGRESS_METER=ON
  -DCURL_TARGET_WINDOWS_VERSION=0x0A00 -DPICKY_COMPILER=OFF
)
key=$({ printf '%s\n' "${options[@]}"; cat "$toolchain"; } | sha256sum | cut -c1-12)
prefix="$cache/libcurl-mingw-$(printf '%s' "$version" | tr -c 'A-Za-z0-9.+\n' '_')-$key"
if [ "${1:-}" = "--prefix" ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$prefix/lib/cmake/CURL/CURLConfig.cmake" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
# Two builds at once (CI and a developer) would fight over the prefix.
exec 9>"$cache/libcurl.lock"
flock 9
if [ -f "$prefix/lib/cmake/CURL/CURLConfig.cmake" ]; then
  echo "$prefix"
  exit 0
fi
work=$(mktemp -d "$cache/libcurl-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
# apt warns that a download as root is unsandboxed; the files are checked
# against the signed source index all the same.
apt-get source --download-only -qq "curl=$version" >/dev/null 2>&1
dpkg-source -x curl_*.dsc src >/dev/null

cmake -S src -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix.new" "${options[@]}" >build.log 2>&1 ||
  { cat build.log >&2; exit 1; }
cmake --build build -j2 >>build.log 2>&1 || { tail -n 40 build.log >&2; exit 1; }
rm -rf "$prefix.new"
cmake --install build >>build.log 2>&1 || { tail -n 40 build.log >&2; exit 1; }
# Moved into place whole, so a cut-short build never looks finished.
mv "$prefix.new" "$prefix"
echo "$prefix"

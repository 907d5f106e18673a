#!/bin/bash
# Makes the files of a release for the download server's "/dl" folder from a
# built Vantrel.exe, the user's ReadMe.txt and the change log, and signs it:
#   release.sh [--key <private key>] [--test-release] <Vantrel.exe> <ReadMe.txt>
#              <change log> <output folder> [display name]
# The private key (P-256, PEM) comes from --key or VANTREL_SIGNING_KEY.
# Output: update.zip (both files at its root), vtrel.ver (one line, no line
# end: name|version|update.zip|SHA3-224 of the archive|signature) and
# change.log. A program built with a development key is refused unless
# --test-release says that the release is only for tests.
set -euo pipefail
usage="usage: $0 [--key <private key>] [--test-release] <Vantrel.exe> <ReadMe.txt> <change log> <output folder> [display name]"
key=${VANTREL_SIGNING_KEY:-}
test_release=0
while [ $# -gt 0 ]; do
  case "$1" in
    --key) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }; key=$2; shift 2 ;;
    --test-release) test_release=1; shift ;;
    *) break ;;
  esac
done
if [ $# -lt 4 ]; then
  echo "$usage" >&2
  exit 2
fi
program=$1 readme=$2 changes=$3 output=$4
if [ -z "$key" ]; then
  echo "release: no signing key; pass --key or set VANTREL_SIGNING_KEY" >&2
  exit 1
fi
signer="$(dirname "$0")/sign-version-file.py"
signing_public=$(python3 "$signer" --public "$key") || exit 1

# The fixed file version of the program's version resource: the four
# numbers the running program compares with the server's, read from the file
# that goes into the archive. A file that is not a 64-bit Windows program
# with a version resource, or a version that is not a real date, is refused.
version=$(python3 - "$program" <<'PYTHON'
import datetime, struct, sys
name = sys.argv[1]
data = open(name, "rb").read()
def fail(reason): sys.exit(f"release: {name}: {reason}")
def u16(at): return struct.unpack_from("<H", data, at)[0]
def u32(at): return struct.unpack_from("<I", data, at)[0]
try:
    if data[:2] != b"MZ": fail("not a Windows program")
    pe = u32(0x3C)
    if data[pe:pe + 4] != b"PE\0\0" or u16(pe + 24) != 0x20B:
        fail("not a 64-bit (PE32+) Windows program")
    # The version resource of the program itself, found through the PE
    # resource tree: the updater carried inside has a version resource of
    # its own.
    sections = pe + 24 + u16(pe + 20)
    def offset(rva):
        for at in range(sections, sections + 40 * u16(pe + 6), 40):
            start, raw = u32(at + 12), u32(at + 20)
            if start <= rva < start + max(u32(at + 8), u32(at + 16)):
                return rva - start + raw
        fail("bad resource address")
    resources = u32(pe + 24 + 112 + 2 * 8)
    if resources == 0: fail("no version resource")
    root = offset(resources)
    def entries(directory):
        count = u16(directory + 12) + u16(directory + 14)
        return [(u32(directory + 16 + 8 * i), u32(directory + 20 + 8 * i)) for i in range(count)]
    node = next((target for entry, target in entries(root) if entry == 16), None)
    if node is None: fail("no version resource")
    while node & 0x80000000:
        node = entries(root + (node & 0x7FFFFFFF))[0][1]
    resource = offset(u32(root + node))
    block = data[resource:resource + u32(root + node + 4)]
    at = block.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0: fail("no fixed file version in the version resource")
    ms, ls = struct.unpack_from("<II", block, at + 8)
except (struct.error, IndexError):
    fail("cut short or damaged")
year, month, day, build = ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF
# The program compares versions as dates from 1970 to early 2038.
try:
    datetime.date(year, month, day)
except ValueError:
    fail(f"version {year}.{month}.{day}.{build} is not a date")
if not 1970 <= year <= 2037:
    fail(f"version {year}.{month}.{day}.{build}: the year must be 1970 to 2037")
print(f"{year}.{month}.{day}.{build}")
PYTHON
)
name=${5:-Vantrel $version}
case "$name" in
  *"|"*) echo "release: the display name must not hold \"|\"" >&2; exit 1 ;;
esac

# The key the program carries checks every later update. A development key's
# private half lies in some build folder; a program that trusts it must not
# reach users.
embedded=$(python3 - "$program" <<'PYTHON'
import re, sys
found = re.findall(rb"vantrel-update-key:(development|release):([0-9a-f]{128})",
                   open(sys.argv[1], "rb").read())
if not found:
    sys.exit(f"release: {sys.argv[1]}: carries no update key")
if len(found) > 1:
    sys.exit(f"release: {sys.argv[1]}: carries {len(found)} update keys; a program has one")
print(found[0][0].decode(), found[0][1].decode())
PYTHON
)
read -r embedded_kind embedded_key <<<"$embedded"
if [ "$embedded_kind" = development ] && [ "$test_release" -eq 0 ]; then
  echo "release: $program trusts a development key; build it with -DVANTREL_UPDATE_PUBLIC_KEY=<public key>, or pass --test-release" >&2
  exit 1
fi
if [ "$embedded_key" != "$signing_public" ]; then
  echo "release: note: $program trusts another key than the one that signs this release; later releases must be signed with that one" >&2
fi

# The program shows no change log of 1,024 characters or fewer, counted as
# it counts them: UTF-16 units, a CR LF line end as two.
characters=$(python3 -c 'import sys; print(len(open(sys.argv[1], encoding="utf-8", newline="").read().encode("utf-16-le")) // 2)' "$changes")
if [ "$characters" -le 1024 ]; then
  echo "release: the change log has $characters characters; more than 1,024 are needed" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The archive's entries carry exactly these names, whatever the inputs are
# called.
mkdir "$work/files"
cp "$program" "$work/files/Vantrel.exe"
cp "$readme" "$work/files/ReadMe.txt"
(cd "$work/files" && zip -q -X ../update.zip Vantrel.exe ReadMe.txt)
if [ "$(stat -c %s "$work/update.zip")" -le 10240 ]; then
  echo "release: update.zip is 10,240 bytes or smaller; the program would reject it" >&2
  exit 1
fi
digest=$(python3 -c 'import hashlib, sys; print(hashlib.sha3_224(open(sys.argv[1], "rb").read()).hexdigest())' "$work/update.zip")
printf '%s|%s|update.zip|%s' "$name" "$version" "$digest" >"$work/vtrel.ver"
# Signs and checks the signature; nothing is written to the output before.
python3 "$signer" "$key" "$work/vtrel.ver"
cp "$changes" "$work/change.log"
mkdir -p "$output"
for file in update.zip change.log vtrel.ver; do
  mv -f "$work/$file" "$output/$file"
done
echo "release: $output/vtrel.ver = $(cat "$output/vtrel.ver")"

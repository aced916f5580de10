#!/usr/bin/env bash
# cmake --install into a temporary prefix: the programs, the desktop entry, the icons,
# the MIME types, the manual pages and the package's documents in their FHS places,
# and each of them sound.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
expect() { [[ -e "$prefix/$1" ]] || { echo "missing: $1"; fail=1; }; }
for f in bin/tripconf bin/tripconf-cli bin/tripsim \
         share/applications/tripconf.desktop \
         share/mime/packages/tripconf.xml \
         share/icons/hicolor/scalable/apps/tripconf.svg \
         share/man/man1/tripconf.1.gz share/man/man1/tripconf-cli.1.gz share/man/man1/tripsim.1.gz \
         share/doc/tripconf/copyright share/doc/tripconf/changelog.Debian.gz share/doc/tripconf/README.md; do
  expect "$f"
done
for size in 16 22 24 32 48 64 128 256; do
  f=share/icons/hicolor/${size}x${size}/apps/tripconf.png
  expect "$f"
  # A PNG of exactly that size: width and height are big-endian at bytes 16 and 20.
  if [[ -e "$prefix/$f" ]]; then
    dims=$(od -An -tu1 -j16 -N8 "$prefix/$f" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [[ "$dims" == "${size}x${size}" ]] || { echo "$f is $dims"; fail=1; }
  fi
done

# The installed programs run and know their version.
version=$("$prefix/bin/tripconf-cli" --version)
[[ "$version" == "tripconf-cli "* ]] || { echo "tripconf-cli --version said: $version"; fail=1; }
[[ "$("$prefix/bin/tripconf" --version)" == "tripconf ${version#tripconf-cli }" ]] || { echo "tripconf --version differs"; fail=1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tripconf.desktop" || fail=1
else
  echo "desktop-file-validate not installed: the desktop entry is not validated"
fi
grep -q 'MimeType=application/x-tripconf-settings;' "$prefix/share/applications/tripconf.desktop" || fail=1
grep -q '<glob pattern="\*.vorng"/>' "$prefix/share/mime/packages/tripconf.xml" || fail=1
if command -v man >/dev/null; then
  for page in tripconf tripconf-cli tripsim; do
    f=$prefix/share/man/man1/$page.1.gz
    [[ -e $f ]] && { MANWIDTH=80 man -l "$f" >/dev/null 2>&1 || { echo "man page $page does not render"; fail=1; }; }
  done
fi
exit $fail

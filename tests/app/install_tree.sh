#!/usr/bin/env bash
# Installs the build folder given as $1 into a temporary DESTDIR and checks the
# installed tree: the program, a valid desktop entry, icons at every size of the
# theme, valid AppStream metainfo, and nothing else.
set -uo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

DESTDIR=$dest cmake --install "$build" --prefix /usr >"$dest.log" 2>&1 || { cat "$dest.log"; fail "cmake --install"; }
rm -f "$dest.log"
usr=$dest/usr
desktop=$usr/share/applications/datumswecker.desktop
metainfo=$usr/share/metainfo/example.norvex.datumswecker.metainfo.xml

[ -x "$usr/bin/datumswecker" ] || fail "program missing or not executable"
file -b "$usr/bin/datumswecker" | grep -q '^ELF 64-bit' || fail "program is not an ELF executable"
# The build folder's library path must not survive the install.
readelf -d "$usr/bin/datumswecker" | grep -qE 'R(UN)?PATH' && fail "program keeps an RPATH"

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate complains: $out"
for line in 'Exec=datumswecker' 'Icon=datumswecker' 'StartupWMClass=datumswecker' 'Categories=Office;Calendar;' \
  'Name[de]=' 'GenericName[de]=' 'Comment[de]=' 'Name=' 'GenericName=' 'Comment='; do
  grep -qF "$line" "$desktop" || fail "desktop entry lacks $line"
done

for size in 16 22 24 32 48 64 128; do
  icon=$usr/share/icons/hicolor/${size}x${size}/apps/datumswecker.png
  file -b "$icon" 2>/dev/null | grep -q "^PNG image data, $size x $size," || fail "icon $size: $(file -b "$icon")"
done
grep -q '<svg ' "$usr/share/icons/hicolor/scalable/apps/datumswecker.svg" || fail "scalable icon missing"

out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
grep -q '<launchable type="desktop-id">datumswecker.desktop</launchable>' "$metainfo" || fail "metainfo does not launch the desktop entry"
grep -q '<summary xml:lang="de">' "$metainfo" || fail "metainfo lacks a German summary"
grep -q '<screenshot ' "$metainfo" || fail "metainfo lacks a screenshot"

# The sync's network plugin, beside the programs that load it.
readelf -d "$usr/libexec/datumswecker/datumswecker-sync-net.so" 2>/dev/null | grep -qE 'R(UN)?PATH' &&
  fail "the sync plugin keeps an RPATH"

# Exactly the program's own files: no tests, benchmarks or build libraries.
expected=$(printf '%s\n' bin/datumswecker libexec/datumswecker/datumswecker-window \
  libexec/datumswecker/datumswecker-cli libexec/datumswecker/datumswecker-sync-net.so \
  share/applications/datumswecker.desktop \
  share/metainfo/example.norvex.datumswecker.metainfo.xml \
  share/doc/datumswecker/copyright share/doc/datumswecker/changelog.gz share/man/man1/datumswecker.1.gz \
  share/man/de/man1/datumswecker.1.gz \
  share/icons/hicolor/scalable/apps/datumswecker.svg \
  $(for s in 16 22 24 32 48 64 128; do echo "share/icons/hicolor/${s}x${s}/apps/datumswecker.png"; done) | sort)
actual=$(cd "$usr" && find . -type f | sed 's|^\./||' | sort)
[ "$expected" = "$actual" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]')"
[ "$(cd "$dest" && ls)" = usr ] || fail "files outside /usr: $(cd "$dest" && ls)"

exit $((failures > 0))

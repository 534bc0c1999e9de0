#!/usr/bin/env bash
# The release's files checked by the validators a packager runs, on what the build made (ctest
# runs it from the build folder; tests/package/package_tests.cmake registers each mode):
#   check.sh help                        each program's --help ends naming the licence
#   check.sh page PAGE_DIR               the built page carries the licence and links to it
#   check.sh desktop FILE.desktop        desktop-file-validate finds nothing
#   check.sh metainfo FILE.metainfo.xml  appstreamcli validate --no-net finds nothing
#   check.sh manuals PROGRAM PAGE...     mandoc -Tlint and man --warnings find nothing, and every
#                                        option --help names is an entry of the manual
#   check.sh files FILES.txt APP_ID      the package holds exactly the listed files, its programs
#                                        stripped, its control fields those of a release
#   check.sh lintian                     lintian finds no error, warning or pedantic note
# Exit status 77 (skipped) where a validator is missing.
set -euo pipefail
mode=$1
shift
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || { echo "skipped: no $1 (scripts/install-deps $2)"; exit 77; }; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The package made from this build, into a folder of its own.
package() {
  cpack -G DEB -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack failed"; }
  deb=$(ls "$tmp"/cpack/*.deb)
}

case $mode in
help)
  for program in ./quenrastilan ./quenrastilan-capture; do
    last=$("$program" --help | tail -n 1)
    [[ $last == "Licence: MIT; "*"DejaVu Sans Bold"*"Bitstream Vera"* ]] ||
      fail "$program --help ends with '$last', not the licence"
  done ;;
page)
  dir=$1
  [ -f "$dir/index.html" ] || { echo "skipped: no page in $dir (./scripts/build-web builds it)"; exit 77; }
  grep -q 'href="LICENSE.txt"' "$dir/index.html" || fail "index.html has no link to LICENSE.txt"
  grep -q '^MIT License' "$dir/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
  grep -q 'Bitstream Vera is a trademark' "$dir/LICENSE.txt" || fail "LICENSE.txt lacks DejaVu's notice"
  grep -q '"LICENSE.txt"' "$dir/sw.js" || fail "the service worker does not keep LICENSE.txt" ;;
desktop)
  need desktop-file-validate test
  out=$(desktop-file-validate "$1" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out" ;;
metainfo)
  need appstreamcli test
  out=$(appstreamcli validate --no-net --pedantic "$1" 2>&1) || fail "$out"
  ! grep -E '^[EWIP]: ' <<<"$out" || fail "appstreamcli reports the lines above" ;;
manuals)
  need mandoc test
  program=$1
  shift
  for page in "$@"; do
    out=$(mandoc -Tlint "$page" 2>&1) || fail "mandoc -Tlint $page: $out"
    [ -z "$out" ] || fail "mandoc -Tlint $page: $out"
    out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "man --warnings $page: $out"
  done
  # The manual's option entries, as the reader sees them, against the options --help lists.
  mandoc -Tascii "$1" | sed 's/.\x08//g' >"$tmp/page.txt"
  "$program" --help | grep -oE '^  --[a-z-]+' | while read -r option; do
    grep -qE "^       $option( |$)" "$tmp/page.txt" || fail "$1 has no entry for $option"
  done
  grep -q '^LICENCE' "$tmp/page.txt" || fail "$1 has no LICENCE section" ;;
files)
  list=$1 app_id=$2
  package
  dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort >"$tmp/got"
  grep -v '^#' "$list" | sed "s|@APP_ID@|$app_id|" | sort >"$tmp/want"
  diff -u "$tmp/want" "$tmp/got" || fail "the package's files differ from $list (- listed, + packaged)"
  dpkg-deb -x "$deb" "$tmp/root"
  for program in "$tmp"/root/usr/bin/*; do
    ! readelf -S "$program" | grep -qE '\.symtab|\.debug' || fail "$(basename "$program") is not stripped"
  done
  dpkg-deb -f "$deb" Section | grep -qx video || fail "section is not video"
  dpkg-deb -f "$deb" Maintainer | grep -qE '^[^<]+ <[^@ ]+@[^@ ]+\.[a-z]+>$' || fail "no maintainer address"
  # A library the programs load that no dependency names would be missing on a bare system.
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in libsdl1.2debian libopenmpt0 libgl1 libglu1 libegl1 libpng16-16; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
  done
  zcat "$tmp/root/usr/share/doc/quenrastilan/changelog.gz" | head -n 1 |
    grep -qx "quenrastilan ($(dpkg-deb -f "$deb" Version)) unstable; urgency=medium" ||
    fail "the changelog's first entry is not the package's version" ;;
lintian)
  need lintian release
  package
  status=0
  lintian --pedantic --fail-on error,warning,pedantic "$deb" >"$tmp/lintian" 2>&1 || status=$?
  ! grep -v 'running with root privileges' "$tmp/lintian" || fail "lintian reports the lines above"
  [ $status -eq 0 ] || fail "lintian exits with status $status" ;;
*)
  fail "no mode '$mode'" ;;
esac

#!/usr/bin/env bash
# Makes the Debian package in BUILD_DIR (cpack -G DEB; the build must be
# complete) and checks what it installs: the files the desktop entry and the
# AppStream data name are where they say, both validate, each program has a
# manual page that man can render, the user guide is where the About box
# looks, the Depends line was computed, and the version is the About box's.
#   scripts/check-package.sh build
set -euo pipefail

[[ $# -eq 1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)

fail() { echo "check-package: $*" >&2; exit 1; }

# cpack reads the set-up the last configure wrote, so configure first: an
# edited CMake file must reach the package checked.
cmake "$build" >/dev/null
# cpack names the file it wrote; an older package in the directory is not it.
out=$(cd "$build" && cpack -G DEB)
echo "$out"
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$out")
[[ -n "$deb" && -s "$deb" ]] || fail "cpack wrote no .deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
dpkg-deb -I "$deb"
[[ $(field Package) == zenorb ]] || fail "package name is '$(field Package)'"
[[ $(field Section) == science ]] || fail "section is '$(field Section)'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
depends=$(field Depends)
[[ -n "$depends" ]] || fail "no Depends line (dpkg-shlibdeps did not run?)"
# The C library and the toolkit are linked by the window at least.
grep -q 'libc6' <<<"$depends" || fail "Depends lacks libc6: $depends"
grep -q 'libwx' <<<"$depends" || fail "Depends lacks the wxWidgets libraries: $depends"
# The About box is built with the release named in CMakeLists.txt; the
# installed program must carry that text.
about=$(sed -n 's/^set(ZENORB_VERSION \([^)]*\))$/\1/p' "$src/CMakeLists.txt")
[[ -n "$about" ]] || fail "no ZENORB_VERSION in CMakeLists.txt"
[[ $(field Version) == "$about" ]] || fail "package version $(field Version), release $about"
grep -aqF "$about" "$root/usr/bin/zenorb" || fail "the installed zenorb does not carry $about"

# Everything under /usr, nothing elsewhere.
outside=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v -e '^\./$' -e '^\./usr/' || true)
[[ -z "$outside" ]] || fail "files outside /usr: $outside"
usr=$root/usr

# The desktop entry: its program and its icon.
desktop=$usr/share/applications/zenorb.desktop
[[ -s "$desktop" ]] || fail "no desktop entry"
desktop-file-validate "$desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -n "$exec_name" && -x "$usr/bin/$exec_name" ]] || fail "Exec=$exec_name is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -n "$icon" ]] || fail "no Icon= in the desktop entry"
for side in 16 64; do
  png=$usr/share/icons/hicolor/${side}x${side}/apps/$icon.png
  [[ -s "$png" ]] || fail "no icon $icon at ${side}x${side}"
  [[ $(head -c 8 "$png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    fail "$png is not a PNG file"
done

# The AppStream data: named after its id, launching a desktop entry that is
# installed, naming programs that are, and valid.
shopt -s nullglob
metainfos=("$usr"/share/metainfo/*.metainfo.xml)
shopt -u nullglob
[[ ${#metainfos[@]} -eq 1 ]] || fail "expected one metainfo file, found ${#metainfos[@]}"
metainfo=${metainfos[0]}
appstreamcli validate --no-net "$metainfo"
python3 - "$metainfo" "$usr" "$about" <<'PY' || fail "metainfo does not match the package"
import os, sys, xml.etree.ElementTree as ET
path, usr, version = sys.argv[1:]
c = ET.parse(path).getroot()
ok = True
def bad(msg):
    global ok
    print("metainfo:", msg, file=sys.stderr)
    ok = False
cid = c.findtext("id")
if os.path.basename(path) != f"{cid}.metainfo.xml":
    bad(f"file {os.path.basename(path)} does not carry the id {cid}")
launchables = [l.text for l in c.findall("launchable") if l.get("type") == "desktop-id"]
if not launchables:
    bad("no desktop-id launchable")
for l in launchables:
    if not os.path.isfile(os.path.join(usr, "share/applications", l)):
        bad(f"launchable {l} is not installed")
for b in c.findall("provides/binary"):
    if not os.access(os.path.join(usr, "bin", b.text), os.X_OK):
        bad(f"binary {b.text} is not installed")
releases = c.findall("releases/release")
if not releases or releases[0].get("version") != version:
    bad(f"the newest release is not {version}")
sys.exit(0 if ok else 1)
PY

# A manual page for every program, rendered without a warning.
for exe in "$usr"/bin/*; do
  name=$(basename "$exe")
  page=$usr/share/man/man1/$name.1.gz
  [[ -s "$page" ]] || fail "no manual page for $name"
  warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null || true)
  [[ -z "$warnings" ]] || fail "man -l $page: $warnings"
  text=$(MANWIDTH=80 man -l "$page")
  grep -q "^NAME" <<<"$text" || fail "$page has no NAME section"
  grep -q "^ *$name - " <<<"$text" || fail "$page does not name $name"
done
# zenorb-sim's page documents each option its --help lists; the packaged
# program answers, so its libraries resolve.
help=$("$usr/bin/zenorb-sim" --help) || fail "the packaged zenorb-sim --help failed"
sim_page=$(MANWIDTH=200 man -l "$usr/share/man/man1/zenorb-sim.1.gz")
options=$(grep -o -- '^ *--[a-z-]*' <<<"$help" | tr -d ' ' | sort -u)
[[ $(wc -l <<<"$options") -ge 10 ]] || fail "zenorb-sim --help lists too few options: $options"
for option in $options; do
  grep -q -- "$option" <<<"$sim_page" || fail "zenorb-sim.1 lacks $option"
done

# The user guide where the About box finds it: ../share/doc/zenorb from the
# program's directory.
[[ -s "$usr/bin/../share/doc/zenorb/guide.html" ]] || fail "no user guide in share/doc/zenorb"

echo "check-package: $(basename "$deb") is sound"

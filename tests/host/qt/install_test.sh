#!/bin/sh
# Installs the build into a temporary prefix and starts the installed
# programs as a user would: everything the package needs is in place and
# valid, and the installed rq4800 keeps its settings and flash in the user's
# XDG folders, writing nothing under the prefix.
#   install_test.sh BUILD_DIR VERSION
set -eu
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" || { cat "$scratch/install.log"; fail "cmake --install"; }

share=$prefix/share
for file in bin/rq4800 bin/rq4800-cli share/applications/org.rq4800.rq4800.desktop \
    share/metainfo/org.rq4800.rq4800.metainfo.xml share/mime/packages/rq4800.xml share/doc/rq4800/README.md; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for size in 16 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/rq4800.png
  [ -f "$icon" ] || fail "no ${size}px icon"
  # The PNG header's width, big-endian at byte 16, is the folder's size.
  width=$(od -An -tu1 -j16 -N4 "$icon" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}')
  [ "$width" = "$size" ] || fail "the ${size}px icon is $width wide"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/org.rq4800.rq4800.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/org.rq4800.rq4800.metainfo.xml" || fail "metainfo"
fi
if command -v update-mime-database >/dev/null; then
  cp -r "$share/mime" "$scratch/mime"
  update-mime-database "$scratch/mime" >"$scratch/mime.log" 2>&1 || { cat "$scratch/mime.log"; fail "MIME package"; }
  grep -q "application/x-rq4800-flash" "$scratch/mime/globs2" || fail "the flash image type is not registered"
fi

# The prefix as installed, to compare after the programs ran.
( cd "$prefix" && find . -printf '%p %s %T@\n' | sort ) >"$scratch/before"

home=$scratch/home
mkdir -p "$home" "$scratch/work"
cd "$scratch/work"
run() {
  env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "$@"
}
out=$(run "$prefix/bin/rq4800" --version) || fail "rq4800 --version"
[ "$out" = "$version" ] || fail "rq4800 --version said '$out'"
run "$prefix/bin/rq4800" --exit-after 1 >"$scratch/run.log" 2>&1 || { cat "$scratch/run.log"; fail "rq4800 --exit-after 1"; }
grep -q "frames per second" "$scratch/run.log" || fail "rq4800 did not run: $(cat "$scratch/run.log")"
grep -q "^Frequency=[1-9]" "$home/.config/rq4800/rq4800.ini" || fail "no settings in ~/.config/rq4800"
[ -d "$home/.local/share/rq4800" ] || fail "no data folder ~/.local/share/rq4800"
run "$prefix/bin/rq4800-cli" info >"$scratch/info.log" 2>&1 || { cat "$scratch/info.log"; fail "rq4800-cli info"; }
[ -s "$scratch/info.log" ] || fail "rq4800-cli info said nothing"
# The C target, where the build had cc65: the installed wrapper finds its SDK
# beside itself.
if [ -x "$prefix/bin/rq4800-cl65" ]; then
  printf 'int main(void) { return 0; }\n' >"$scratch/work/empty.c"
  run "$prefix/bin/rq4800-cl65" -O -o "$scratch/work/empty.bin" "$scratch/work/empty.c" || fail "rq4800-cl65"
  [ -s "$scratch/work/empty.bin" ] || fail "rq4800-cl65 made no program"
fi

# XDG folders named by the environment are taken as they are.
env HOME="$home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/rq4800" --exit-after 1 >"$scratch/run2.log" 2>&1 || { cat "$scratch/run2.log"; fail "rq4800 with XDG names"; }
[ -f "$scratch/config/rq4800/rq4800.ini" ] && [ -d "$scratch/data/rq4800" ] || fail "the XDG variables were not followed"

( cd "$prefix" && find . -printf '%p %s %T@\n' | sort ) >"$scratch/after"
diff "$scratch/before" "$scratch/after" >&2 || fail "the programs wrote under the prefix"
echo "installed and started from $prefix"

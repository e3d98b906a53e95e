#!/usr/bin/env bash
# Installs the suite into a temporary prefix and starts every program from there with a fresh
# HOME: the per-user home is created and filled, nothing is written into the prefix. Validates
# the desktop entries and the AppStream metainfo, then builds the Debian package and installs,
# starts and purges it in a throwaway root.
# Usage: test_install.sh BUILD_DIR CMAKE CPACK
set -euo pipefail
build=$1 cmake=$2 cpack=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A clean environment: the caller's VARNEX_HOME, XDG_DATA_HOME or port map must not leak in.
run_fresh() {  # HOME then the command
  local home=$1
  shift
  mkdir -p "$home/run" && chmod 700 "$home/run"
  env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$home/run" \
    LANG=C.UTF-8 timeout 60 "$@"
}

# Every file of the shipped data is in the user's home, and the home is where the program put it.
check_home() {  # HOME DATA_DIR PROGRAM
  local userdir=$1/.local/share/varnex
  [ -d "$userdir" ] || fail "$3 made no per-user home $userdir"
  local n=0
  while IFS= read -r -d '' f; do
    cmp -s "$f" "$userdir/${f#"$2"/}" || fail "$3: ${f#"$2"/} not copied into $userdir"
    n=$((n + 1))
  done < <(find "$2" -type f -print0)
  [ "$n" -gt 3 ] || fail "$2 holds only $n files"
}

listing() { find "$1" -printf '%p %s %m %T@\n' | sort; }

# --- install into a prefix ------------------------------------------------------------------
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for f in bin/Varnex bin/varnex_Flash_Creator bin/zpt_diag bin/varnexctl bin/varnex_sim \
  share/varnex/varnex_sprache_standard.ini share/varnex/dtmf_commands_standart.ini \
  share/varnex/hilfe_vnx/index.html share/varnex/hilfe_vnx/templates \
  share/mime/packages/de.brelmo.Varnex.xml share/man/man1/varnexctl.1 \
  share/bash-completion/completions/varnexctl share/doc/varnex/README.Debian \
  lib/udev/rules.d/70-varnex.rules; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
rule=$prefix/lib/udev/rules.d/70-varnex.rules
for want in 'ATTRS{idVendor}=="0403"' 'ATTRS{idProduct}=="d8e1"' 'SYMLINK+="varnex%n"' \
  'ENV{ID_MM_DEVICE_IGNORE}="1"'; do
  grep -qF "$want" "$rule" || fail "udev rule lacks $want"
done

# Each menu entry starts an installed program and shows an installed icon.
for desktop in "$prefix"/share/applications/*.desktop; do
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -x "$prefix/bin/$exec_name" ] || fail "$desktop starts $exec_name, not installed"
  for size in 16 22 24 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] ||
      fail "icon $icon missing in ${size}x${size}"
  done
  [ -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon $icon.svg missing"
done
[ "$(ls "$prefix"/share/applications/*.desktop | wc -l)" -eq 3 ] || fail "not three menu entries"
grep -q '^MimeType=application/x-varnex-config;' "$prefix/share/applications/de.brelmo.Varnex.desktop" ||
  fail "Varnex does not open the .vnx type"
grep -q '<glob pattern="\*.vnx"/>' "$prefix/share/mime/packages/de.brelmo.Varnex.xml" ||
  fail "the .vnx type has no glob"
desktop-file-validate "$prefix"/share/applications/*.desktop
appstreamcli validate --no-net "$prefix/share/metainfo/de.brelmo.Varnex.metainfo.xml" >/dev/null

# --help of every program.
for p in Varnex varnex_Flash_Creator zpt_diag varnexctl varnex_sim; do
  out=$(run_fresh "$work/help" "$prefix/bin/$p" --help) || fail "$p --help failed"
  grep -q "^Usage: $p" <<<"$out" || fail "$p --help: no usage line"
done
for p in Varnex varnex_Flash_Creator zpt_diag varnexctl; do
  "$prefix/bin/$p" --help | grep -q dialout || fail "$p --help does not name the dialout group"
done

# Start each program from the prefix with a fresh HOME.
before=$(listing "$prefix")
for p in Varnex varnex_Flash_Creator; do
  run_fresh "$work/home-$p" "$prefix/bin/$p" --quit-after-start || fail "$p did not start"
  check_home "$work/home-$p" "$prefix/share/varnex" "$p"
done
run_fresh "$work/home-diag" "$prefix/bin/zpt_diag" --quit-after-start || fail "zpt_diag did not start"
run_fresh "$work/home-ctl" "$prefix/bin/varnexctl" catalogue >/dev/null || fail "varnexctl catalogue"
check_home "$work/home-ctl" "$prefix/share/varnex" varnexctl
[ "$before" = "$(listing "$prefix")" ] || fail "a program wrote into the installation"

# --- the Debian package ------------------------------------------------------------------------
command -v dpkg-deb >/dev/null || fail "dpkg-deb is missing"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null
deb=$(ls "$work"/pkg/*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libc6; do
  grep -q "$lib" <<<"$depends" || fail "package does not depend on $lib: $depends"
done
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The throwaway root has no Qt: the dependencies are the host's.
dpkg --root="$root" --log=/dev/null --force-depends --force-not-root -i "$deb" >/dev/null 2>&1 ||
  fail "dpkg -i failed"
dpkg --root="$root" -s varnex | grep -q '^Status: install ok installed' || fail "not installed"
for f in usr/bin/Varnex usr/share/varnex/varnex_sprache_standard.ini \
  usr/share/applications/de.brelmo.Varnex.desktop usr/lib/udev/rules.d/70-varnex.rules \
  usr/share/doc/varnex/README.Debian; do
  [ -e "$root/$f" ] || fail "package lacks /$f"
done
run_fresh "$work/home-deb" "$root/usr/bin/Varnex" --quit-after-start || fail "packaged Varnex"
check_home "$work/home-deb" "$root/usr/share/varnex" "packaged Varnex"
dpkg --root="$root" --log=/dev/null --force-not-root --purge varnex >/dev/null 2>&1 ||
  fail "dpkg --purge failed"
left=$(find "$root" -mindepth 1 ! -path "$root/var/lib/dpkg*" ! -path "$root/var" \
  ! -path "$root/var/lib")
[ -z "$left" ] || fail "left after purge: $left"
echo "install, start, validation and package checks passed"

#!/usr/bin/env bash
# Installs a build into a temporary prefix and packs it as a Debian package:
# both hold every file a desktop needs, and the desktop's own validators
# accept the menu entry, the AppStream metadata and the man pages.
#
# Usage: InstallAndPackage.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

id=org.tagmora.Tagmora
files=(
  bin/tagmora bin/tagmora-cli
  share/applications/$id.desktop
  share/icons/hicolor/scalable/apps/$id.svg
  share/icons/hicolor/48x48/apps/$id.png
  share/icons/hicolor/128x128/apps/$id.png
  share/metainfo/$id.metainfo.xml
  share/man/man1/tagmora.1 share/man/man1/tagmora-cli.1
)

cmake --install "$build" --prefix "$work/usr" >/dev/null
for file in "${files[@]}"; do [[ -f "$work/usr/$file" ]] || fail "not installed: $file"; done
desktop-file-validate "$work/usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$work/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo"
for size in 48 128; do
  file "$work/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "the $size px icon is no $size px PNG"
done
for page in tagmora tagmora-cli; do
  MANWIDTH=80 man --warnings -l "$work/usr/share/man/man1/$page.1" >"$work/$page.txt" 2>"$work/man.log"
  ! grep -Eiq "warning|error" "$work/man.log" || fail "man about $page.1: $(cat "$work/man.log")"
done
# The command-line page covers every command, the job commands included.
for command in info set remove update remove-tags rename move; do
  grep -q "^ *tagmora-cli $command " "$work/tagmora-cli.txt" || fail "tagmora-cli.1 lacks $command"
done

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/package/tagmora_*.deb)
[[ -f "${debs[0]}" ]] || fail "no tagmora_*.deb"
dpkg-deb --contents "${debs[0]}" >"$work/contents"
for file in "${files[@]}"; do
  grep -q " \./usr/$file\$" "$work/contents" || fail "the package lacks /usr/$file"
done
# dpkg-shlibdeps named the libraries' packages.
dpkg-deb --field "${debs[0]}" Depends | grep -q "libqt6widgets6" || fail "no computed dependencies"
echo "install and package: ${#files[@]} files, validated"

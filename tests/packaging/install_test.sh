#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that it is a complete desktop
# application: program, valid desktop entry and metadata, icons in every size.
# usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.varnockpro.VarnockPro
status=0
expect() {  # path
  if [[ ! -s $prefix/$1 ]]; then
    echo "missing after install: $1"
    status=1
  fi
}
expect bin/varnock
[[ -x $prefix/bin/varnock ]] || { echo "bin/varnock is not executable"; status=1; }
expect bin/varnock-tool
[[ -x $prefix/bin/varnock-tool ]] || { echo "bin/varnock-tool is not executable"; status=1; }
expect share/man/man1/varnock-tool.1.gz
# The manual page is the tool's own help: every command has its section.
manual=$(zcat "$prefix/share/man/man1/varnock-tool.1.gz")
for command in export import decompress compress scan palette checksum formats; do
  grep -q "^Usage: varnock\\\\-tool $command " <<<"$manual" || {
    echo "the manual page lacks $command"
    status=1
  }
done
expect share/applications/$id.desktop
expect share/metainfo/$id.metainfo.xml
expect share/icons/hicolor/scalable/apps/$id.svg
for size in 16 22 24 32 48 64 128 256; do
  expect share/icons/hicolor/${size}x${size}/apps/$id.png
done
for codec in 1bpp nes gb vb ngpc snes3 snes4 sms genesis gba snes8 linear8; do
  expect share/varnock/codecs/example-$codec.vrkcodec
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || status=1
# Never the network: a test must pass offline.
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || status=1
grep -q '^Categories=.*Graphics;' "$prefix/share/applications/$id.desktop" || status=1
grep -q '^Categories=.*Development;' "$prefix/share/applications/$id.desktop" || status=1
for type in application/x-nes-rom application/vnd.nintendo.snes.rom application/x-gameboy-rom \
  application/x-gameboy-color-rom application/x-gba-rom application/x-genesis-rom \
  application/x-sms-rom application/x-gamegear-rom application/x-virtual-boy-rom \
  application/x-neo-geo-pocket-rom application/x-neo-geo-pocket-color-rom; do
  grep -q "^MimeType=.*$type;" "$prefix/share/applications/$id.desktop" || {
    echo "desktop entry lacks $type"
    status=1
  }
done
# The installed program runs and knows its version.
"$prefix/bin/varnock" --version | grep -q '^Varnock Pro ' || { echo "--version failed"; status=1; }
"$prefix/bin/varnock-tool" --version | grep -q '^varnock-tool (Varnock Pro) ' ||
  { echo "varnock-tool --version failed"; status=1; }
exit $status

#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks what is in it.
# usage: deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/*.deb)
listing=$(dpkg-deb -c "$deb")
status=0
id=org.varnockpro.VarnockPro
for path in ./usr/bin/varnock ./usr/bin/varnock-tool ./usr/share/man/man1/varnock-tool.1.gz \
  ./usr/share/applications/$id.desktop \
  ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
  ./usr/share/icons/hicolor/48x48/apps/$id.png ./usr/share/icons/hicolor/256x256/apps/$id.png; do
  grep -q " $path\$" <<<"$listing" || {
    echo "package lacks $path"
    status=1
  }
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6; do
  grep -q "$library" <<<"$depends" || {
    echo "package does not depend on $library: $depends"
    status=1
  }
done
[[ $(dpkg-deb -f "$deb" Package) == varnock ]] || status=1
exit $status

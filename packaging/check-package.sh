#!/usr/bin/env bash
# Packs the Debian package of a build into a temporary folder, unpacks it into a root of its
# own and checks that the program there runs and that the package holds what it should.
set -euo pipefail
build="$1"; expected_version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb=("$work"/pack/ledra-convert_*.deb)
dpkg-deb -x "${deb[0]}" "$work/root"
fail=0
version="$("$work/root/usr/bin/ledra-convert" --version)"
if [[ "$version" != "$expected_version" ]]; then
  echo "--version gave '$version', expected '$expected_version'"; fail=1
fi
depends="$(dpkg-deb -f "${deb[0]}" Depends)"
for lib in libc6 libzip4; do
  [[ "$depends" == *"$lib"* ]] || { echo "Depends lacks $lib: $depends"; fail=1; }
done
files=(usr/share/doc/ledra-convert/copyright usr/share/man/man1/ledra-convert.1.gz)
if "$work/root/usr/bin/ledra-convert" --gui-available 2>/dev/null; then
  files+=(usr/share/applications/ledra-convert.desktop
          usr/share/icons/hicolor/256x256/apps/ledra-convert.png)
fi
for f in "${files[@]}"; do
  [[ -f "$work/root/$f" ]] || { echo "missing $f"; fail=1; }
done
# The changelog's newest entry is this version.
package_version="$(dpkg-deb -f "${deb[0]}" Version)"
newest="$(zcat "$work/root/usr/share/doc/ledra-convert/changelog.gz" | sed -n 1p)"
if [[ "$newest" != "ledra-convert ($package_version) "* ]]; then
  echo "packaging/changelog does not begin with version $package_version"; fail=1
fi
exit $fail

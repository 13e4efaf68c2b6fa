#!/usr/bin/env bash
# Builds the Debian package of Velora in build-package/: a Release build of the two programs with
# Debian's hardening flags, the package from their installation (CPack; dependencies computed by
# dpkg-shlibdeps), then lintian. Install it with: apt install ./build-package/velora_*.deb
#
# lintian reports no error and no warning. Its notes (lintian -I) that remain:
#   spelling-error-in-binary  words it takes for English misspellings are the texts of the other
#                             languages (Swedish "adress", Spanish "requiere", French
#                             "autorisation", ...) and the console's "type allow to approve",
#                             where allow is the command to type.
#   binary-has-unneeded-section .comment  the compiler's version note, which CPack's strip keeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
dir=build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j2 --target velora velora-remote velora_install_files
rm -f "$dir"/velora_*.deb
(cd "$dir" && cpack -G DEB > cpack.log) || { cat "$dir/cpack.log"; exit 1; }
deb=$(ls "$dir"/velora_*.deb)
lintian --fail-on error,warning "$deb"
echo "Built $deb"

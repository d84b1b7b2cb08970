#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vexa helper developers
# SPDX-License-Identifier: GPL-3.0-or-later
# install_test.sh BUILD_DIR: installs the build into a scratch prefix, checks
# the layout, validates the desktop entry, the AppStream metadata and the
# manual page, and starts the installed program from there. A validator that
# is not installed is reported and skipped.
set -uo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# An odd prefix: nothing may assume /usr.
prefix="/opt/vexa 测试"
root="$scratch/root"
fail=0
problem() { echo "FAIL: $*"; fail=1; }

DESTDIR="$root" cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; exit 1; }
top="$root$prefix"
id=org.example.vexahelper

service=libexec/vexa-helper/vexa-sample-service
for file in bin/vexa-helper "$service" share/vexa-helper/1.she "share/applications/$id.desktop" \
            "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/48x48/apps/$id.png" \
            "share/icons/hicolor/scalable/apps/$id.svg" share/man/man1/vexa-helper.1.gz \
            share/doc/vexa-helper/copyright; do
    [[ -f "$top/$file" ]] || problem "not installed: $file"
done
for program in bin/vexa-helper "$service"; do
    [[ -x "$top/$program" ]] || problem "$program is not executable"
done
# The modules (windows, player, picture conversion, tagging) go in a
# folder of their own under the library folder.
modules=()
for name in window commands player pictures tagger; do
    module=$(cd "$top" && find . -type f -path "./lib*/vexa-helper/libvexa-$name.so")
    [[ -n "$module" ]] || problem "not installed: the module libvexa-$name.so"
    modules+=(-e "^$module\$")
done
# Only the programs and the modules: no other libraries, headers or test programs.
extra=$(cd "$top" && find . -type f |
        grep -v -e '^./bin/vexa-helper$' -e "^./$service\$" "${modules[@]}" -e '^./share/' || true)
[[ -z "$extra" ]] || problem "unexpected files installed: $extra"
# Machine-readable, so Debian's tools can tell the licence.
head -n1 "$top/share/doc/vexa-helper/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    problem "the copyright file is not in the machine-readable format"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$top/share/metainfo/$id.metainfo.xml" ||
    problem "the metainfo does not name the licence"
if command -v file >/dev/null; then
    file -b "$top/share/icons/hicolor/48x48/apps/$id.png" | grep -q '48 x 48' || problem "the PNG icon is not 48 px"
fi

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$top/share/applications/$id.desktop" 2>&1)
    [[ $? -eq 0 && -z "$out" ]] || problem "desktop-file-validate: $out"
    grep -qx "Icon=$id" "$top/share/applications/$id.desktop" || problem "the desktop entry names another icon"
else
    echo "SKIP: desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$top/share/metainfo/$id.metainfo.xml" >"$scratch/as.log" 2>&1 ||
        problem "appstreamcli validate: $(cat "$scratch/as.log")"
    grep -q '<release version="[0-9]' "$top/share/metainfo/$id.metainfo.xml" ||
        problem "the metainfo has no release version"
else
    echo "SKIP: appstreamcli is not installed"
fi
if command -v man >/dev/null; then
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$top/share/man/man1/vexa-helper.1.gz" 2>&1 >/dev/null)
    [[ -z "$out" ]] || problem "man --warnings: $out"
else
    echo "SKIP: man is not installed"
fi

# The commands do not load what only the windows use.
for file in bin/vexa-helper $(cd "$top" && find . -path './lib*/vexa-helper/libvexa-commands.so'); do
    readelf -d "$top/$file" | grep -E 'NEEDED.*libQt6(Gui|Widgets|DBus)' && problem "$file needs the windows' libraries"
done
# Nor TagLib, which only the tagging module brings, on the first tag.
for file in bin/vexa-helper $(cd "$top" && find . -path './lib*/vexa-helper/libvexa-*.so' ! -name libvexa-tagger.so); do
    readelf -d "$top/$file" | grep -q 'NEEDED.*libtag' && problem "$file needs TagLib"
done

# The installed program: the command line with no window system at all, and
# the window up to its first paint.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none "$top/bin/vexa-helper" --version 2>&1) ||
    problem "vexa-helper --version: $version"
out=$(QT_QPA_PLATFORM=offscreen VEXA_EXIT_AFTER_FIRST_PAINT=0 "$top/bin/vexa-helper" --demo 2>&1)
status=$?
[[ $status -eq 0 ]] || problem "installed vexa-helper --demo ended with $status: $out"
grep -q '^vexa-bench first-paint-ns=' <<<"$out" || problem "installed vexa-helper --demo never painted: $out"
# Playing a sound loads the module from its installed folder.
out=$(QT_QPA_PLATFORM=offscreen "$top/bin/vexa-helper" --demo --address 1001 --screenshot "$scratch/shot.png" 2>&1)
status=$?
[[ $status -eq 0 ]] || problem "installed vexa-helper --demo --address ended with $status: $out"
grep -q 'player cannot play' <<<"$out" && problem "the installed program did not load its player module: $out"

exit $fail

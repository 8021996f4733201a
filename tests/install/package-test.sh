#!/usr/bin/env bash
# Checks the Debian package as a user's machine gets it: lintian finds no error, the files land
# where Debian and the desktop look for them, the control fields carry the computed library
# dependencies, and the extracted programs, manual pages and bash completion work.
#   package-test.sh tavora_VERSION_ARCH.deb
set -euo pipefail
deb="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(mktemp -d)"
appdata="$(mktemp -d)"
trap 'rm -rf "$root" "$appdata"' EXIT
fail() { echo "package-test: $*" >&2; exit 1; }

# Errors fail; warnings and notes are shown for the reader.
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"

version="$(dpkg-deb -f "$deb" Version)"
arch="$(dpkg-deb -f "$deb" Architecture)"
[ "$(basename "$deb")" = "tavora_${version}_${arch}.deb" ] || fail "the package is named $(basename "$deb")"
[ "$arch" = "$(dpkg --print-architecture)" ] || fail "architecture $arch"
depends="$(dpkg-deb -f "$deb" Depends)"
for d in fonts-noto-cjk libc6 libqt6core6 libqt6widgets6 libsqlite3-0 libcurl4; do
  [[ ", $depends," == *", $d "* || ", $depends," == *", $d,"* ]] || fail "Depends lacks $d: $depends"
done

# Everything belongs to root and only root may write it, whatever the umask of the build.
loose="$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w"')"
[ -z "$loose" ] || fail "files with a wrong owner or mode: $loose"

dpkg-deb -x "$deb" "$root"
expected=(usr/bin/tavora usr/bin/tavora-cli usr/share/tavora/others/code_info.csv
  usr/share/tavora/marketday/marketday_jpn.csv usr/share/applications/tavora.desktop
  usr/share/mime/packages/tavora.xml usr/share/icons/hicolor/48x48/apps/tavora.png
  usr/share/man/man1/tavora.1.gz usr/share/man/man1/tavora-cli.1.gz
  usr/share/bash-completion/completions/tavora-cli
  usr/share/doc/tavora/copyright usr/share/doc/tavora/changelog.gz)
for f in "${expected[@]}"; do [ -s "$root/$f" ] || fail "missing /$f"; done
desktop-file-validate "$root/usr/share/applications/tavora.desktop" || fail "desktop-file-validate"

# The newest changelog entry is this version.
top="$(zcat "$root/usr/share/doc/tavora/changelog.gz" | head -n 1)"
[[ "$top" == "tavora ($version) "* ]] || fail "the changelog starts with '$top', not version $version"
for p in tavora tavora-cli; do
  zcat "$root/usr/share/man/man1/$p.1.gz" | head -n 1 | grep -qF "\"Tavora $version\"" ||
    fail "$p(1) is not the page of version $version"
done

# The extracted programs, started from elsewhere, find their data in the extracted /usr/share.
cli="$root/usr/bin/tavora-cli"
run() {
  (cd / && env -u TAVORA_DATA_DIR -u TAVORA_BASEDIR TAVORA_APPDATA="$appdata" TAVORA_TODAY=2026-12-09 \
    QT_QPA_PLATFORM=offscreen "$cli" "$@")
}
[ "$(run --version)" = "Tavora Ver$version" ] || fail "tavora-cli --version: $(run --version)"
info="$(run info)" || fail "tavora-cli info failed"
grep -qx "application root: $appdata/Tavora" <<<"$info" || fail "info names another folder: $info"
rows="$(sed -n 's/^    kabukadb: \([0-9]*\) rows$/\1/p' <<<"$info")"
[ "${rows:-0}" -gt 0 ] || fail "the bundled prices did not reach the data folder: $info"

# Every subcommand has its entry in the manual page, and both pages render without a warning.
mapfile -t commands < <(run --help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
[ ${#commands[@]} -ge 15 ] || fail "tavora-cli --help lists only: ${commands[*]}"
page="$(zcat "$root/usr/share/man/man1/tavora-cli.1.gz" | sed 's/\\-/-/g')"
for c in "${commands[@]}"; do
  grep -Eq "^\.BI? \"?$c( |\"|$)" <<<"$page" || fail "tavora-cli(1) has no entry for $c"
done
for p in tavora tavora-cli; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/$p.1.gz" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "$p(1) renders with warnings: $warnings"
done

# The completion offers the subcommands of --help, the codes of the catalogue and the periods.
completion() {
  TAVORA_APPDATA="$appdata" TAVORA_TODAY=2026-12-09 bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _tavora_cli 2>/dev/null
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' \
    _ "$root/usr/share/bash-completion/completions/tavora-cli" "$cli" "$@"
}
want="$(printf '%s\n' "${commands[@]}" --help --version | sort | tr '\n' ' ')"
[ "$(completion "")" = "$want" ] || fail "completion of the subcommands: $(completion "")"
[ "$(completion bars 00)" = "0001 0002 " ] || fail "completion of codes: $(completion bars 00)"
[ "$(completion render 0001 --period "")" = "d m w y " ] || fail "completion of periods"
[ "$(completion print 0001 --sch)" = "--scheme " ] || fail "completion of print's options"
[ "$(completion import a.csv --encoding=UTF)" = "UTF-16 UTF-8 " ] || fail "completion after --option="
[ "$(completion import a.csv --column "")" = "close= code= date= high= low= open= volume= " ] ||
  fail "completion of the column roles"

echo "package-test: $(basename "$deb") passes lintian, installs its files and runs from them"

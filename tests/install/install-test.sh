#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that the programs, the bundled data, the
# desktop file, the icons and the MIME type land where a desktop looks for them, and starts
# the installed tavora-cli from another folder: it must find its data in the prefix.
#   install-test.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
appdata="$(mktemp -d)"
trap 'rm -rf "$prefix" "$appdata"' EXIT
fail() { echo "install-test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
sizes=(16 24 32 48 64 128 256)
expected=(bin/tavora bin/tavora-cli share/tavora/others/code_info.csv share/tavora/marketday/marketday_jpn.csv
  share/tavora/prices/0001.csv share/applications/tavora.desktop share/mime/packages/tavora.xml
  share/man/man1/tavora.1.gz share/man/man1/tavora-cli.1.gz share/bash-completion/completions/tavora-cli)
for n in "${sizes[@]}"; do expected+=("share/icons/hicolor/${n}x${n}/apps/tavora.png"); done
for f in "${expected[@]}"; do [ -s "$prefix/$f" ] || fail "missing $f"; done
[ -x "$prefix/bin/tavora" ] && [ -x "$prefix/bin/tavora-cli" ] || fail "programs not executable"
[ ! -e "$prefix/share/tavora/.gitattributes" ] || fail "repository files installed"

# Each icon is a PNG of its size (width and height are bytes 16..23 of the header).
for n in "${sizes[@]}"; do
  header="$(od -An -tx1 -j16 -N8 "$prefix/share/icons/hicolor/${n}x${n}/apps/tavora.png" | tr -d ' \n')"
  [ "$header" = "$(printf '%08x%08x' "$n" "$n")" ] || fail "icon ${n}x${n} has the header $header"
done

desktop-file-validate "$prefix/share/applications/tavora.desktop" || fail "desktop-file-validate"
grep -qx 'Categories=Office;Finance;' "$prefix/share/applications/tavora.desktop" || fail "categories"

# The MIME database built from the installed package maps "*.tvrd" to our type.
update-mime-database "$prefix/share/mime" || fail "update-mime-database"
grep -q '^[0-9]*:application/x-tavora-document:\*\.tvrd' "$prefix/share/mime/globs2" || fail "no *.tvrd glob"
grep -q 'application/x-tavora-document' "$prefix/share/applications/tavora.desktop" || fail "desktop MimeType"

# The installed CLI, started elsewhere without any hint, fills a new data folder from the prefix.
cd /
codes="$(env -u TAVORA_DATA_DIR -u TAVORA_BASEDIR TAVORA_APPDATA="$appdata" TAVORA_TODAY=2026-12-09 \
  QT_QPA_PLATFORM=offscreen "$prefix/bin/tavora-cli" codes)" || fail "tavora-cli codes failed"
[ "$(printf '%s\n' "$codes" | wc -l)" -eq 18 ] || fail "expected 18 codes, got: $codes"
last="$(env -u TAVORA_DATA_DIR -u TAVORA_BASEDIR TAVORA_APPDATA="$appdata" TAVORA_TODAY=2026-12-09 \
  QT_QPA_PLATFORM=offscreen "$prefix/bin/tavora-cli" bars 0001 | grep -c '^2026-12-08,')" || true
[ "$last" = 1 ] || fail "the bundled prices of 0001 were not installed"
echo "installed into $prefix and started from there"

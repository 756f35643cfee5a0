#!/usr/bin/env bash
# Builds the Debian package from a finished build tree and checks it as a
# user's system sees it: its file list and dependencies, the menu entry and
# the AppStream data with their validators, and that velmora-cli unpacked
# from it, started in an empty folder, finds the database in the data folder.
#
#   check-package.sh BUILD-DIRECTORY
#
# Exit status 77 (skipped) where the packaging tools are missing.
set -euo pipefail
build=$1

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (tools/setup-debian.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/velmora_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "no velmora_<version>_amd64.deb in $(ls "$work/out")"
deb=${debs[0]}

id=example.velmora.Velmora
expected=$(
  printf '%s\n' ./usr/bin/velmora ./usr/bin/velmora-cli ./usr/bin/velmora-render ./usr/share/velmora/Orsk.dll \
    ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$id.svg \
    ./usr/share/man/man1/velmora.1.gz ./usr/share/man/man1/velmora-cli.1.gz \
    ./usr/share/doc/velmora/copyright ./usr/share/doc/velmora/changelog.gz
  for size in 16 22 24 32 48 64 128 256; do
    echo "./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  done | sort)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$(sort <<<"$expected")" = "$actual" ] ||
  fail "file list differs:"$'\n'"$(diff <(sort <<<"$expected") <(echo "$actual") || true)"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6webenginecore6-bin "fonts-wqy-microhei | fonts-noto-cjk" libqt6webenginewidgets6 libsqlcipher0 \
              libopencc1.1 libopencc-data; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "the menu entry is not valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "the metainfo is not valid"; }
for page in velmora velmora-cli; do
  zcat "$work/root/usr/share/man/man1/$page.1.gz" | grep -q "^\.SH NAME" || fail "$page(1) has no NAME section"
done
# velmora-cli(1) is made from the tool's help: every option the help names is in it.
cli_page=$(zcat "$work/root/usr/share/man/man1/velmora-cli.1.gz" | sed 's/\\-/-/g')
help=$("$work/root/usr/bin/velmora-cli" help 2>&1 || true)
for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
  [[ "$cli_page" == *"$option"* ]] || fail "velmora-cli(1) lacks $option of the help"
done

mkdir "$work/empty"
reading=$(cd "$work/empty" && "$work/root/usr/bin/velmora-cli" reading --name 张三 --sex 男 \
            --gregorian 1990-5-17 --hour 8) || fail "velmora-cli from the unpacked tree found no database"
[[ "$reading" == *"骨重：三两五"* ]] || fail "unexpected reading: $reading"
[ -z "$(ls -A "$work/empty")" ] || fail "velmora-cli left files in its working folder"
echo "package $(basename "$deb") checked"

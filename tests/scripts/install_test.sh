#!/usr/bin/env bash
# Installs the build into a scratch root (DESTDIR) and checks that a desktop
# gets what it needs to open ".bcf" files with the program: the three
# programs, the desktop entry, the document type, the icons and the manual.
# Where the desktop's own tools are present, the entry and the type are run
# through them too.
set -u
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! DESTDIR="$root" cmake --install "$build" --prefix /usr >"$root.log" 2>&1; then
  cat "$root.log" >&2
  rm -f "$root.log"
  echo "FAIL: cmake --install" >&2
  exit 1
fi
rm -f "$root.log"
usr="$root/usr"

for prog in quillon quillon-cli quillon-sim; do
  [ -x "$usr/bin/$prog" ] || fail "program $prog not installed"
done
"$usr/bin/quillon-cli" --help 2>&1 | grep -q "get" || fail "installed quillon-cli does not run"

entry="$usr/share/applications/quillon.desktop"
if [ -f "$entry" ]; then
  grep -qx 'Exec=quillon %f' "$entry" || fail "desktop entry does not pass the file to quillon"
  grep -qx 'Icon=quillon' "$entry" || fail "desktop entry has no icon"
  grep -q '^MimeType=.*application/x-quillon-document;' "$entry" || fail "desktop entry does not claim .bcf"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop entry does not validate"
  fi
else
  fail "desktop entry not installed"
fi

mime="$usr/share/mime/packages/quillon.xml"
if [ -f "$mime" ]; then
  grep -q '<comment>Quillon Document</comment>' "$mime" || fail "document type has no name"
  grep -q '<glob pattern="\*.bcf"/>' "$mime" || fail "document type has no *.bcf pattern"
  grep -q '<icon name="application-x-quillon-document"/>' "$mime" || fail "document type has no icon"
  if command -v update-mime-database >/dev/null; then
    if update-mime-database "$usr/share/mime" >/dev/null 2>&1; then
      grep -qx 'application/x-quillon-document:\*.bcf' "$usr/share/mime/globs" ||
        fail "the MIME database does not map *.bcf to the document type"
    else
      fail "update-mime-database refuses the document type"
    fi
  fi
else
  fail "document type not installed"
fi

for size in 16 22 24 32 48 64 128 256; do
  dir="$usr/share/icons/hicolor/${size}x${size}"
  for icon in apps/quillon.png mimetypes/application-x-quillon-document.png; do
    f="$dir/$icon"
    if [ ! -f "$f" ]; then
      fail "icon $size $icon not installed"
    elif [ "$(head -c 8 "$f" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]; then
      fail "icon $size $icon is not a PNG"
    else
      # The PNG header holds the width and height at bytes 16 to 23.
      dims="$(od -An -j16 -N8 -tu1 "$f" | tr -s ' ' | sed 's/^ //')"
      [ "$dims" = "0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
        fail "icon $size $icon is not ${size}x${size} ($dims)"
    fi
  done
done

manual="$usr/share/quillon/manual"
for page in index.html keywords.html using-help.html; do
  [ -f "$manual/$page" ] || fail "manual page $page not installed"
done

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "installed and checked"

#!/bin/sh
# Fails when the core includes a Qt header or a program linking only the core
# depends on a Qt library.
probe="$1"
src="$2"
status=0
if ldd "$probe" | grep -i 'libQt'; then
  echo "a program linking only quillon_core depends on Qt" >&2
  status=1
fi
if nm -C "$probe" | grep -E ' (T|U) Q[A-Z][a-zA-Z]+::' | head -5 | grep .; then
  echo "quillon_core references Qt symbols" >&2
  status=1
fi
for dir in core model link bci ops edit; do
  if grep -rnE '#\s*include\s*[<"]Q[A-Za-z]*(/|>|")' "$src/$dir"; then
    echo "Qt header included in src/$dir" >&2
    status=1
  fi
done
exit $status

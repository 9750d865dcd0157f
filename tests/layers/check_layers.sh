#!/bin/sh
# Fails when a source file includes a header of a layer above its own (or
# beside it, where the layers do not meet). Calls upward already fail to link;
# this catches the header-only reaches, such as a constant.
src="$1"
status=0
check() {
  dir="$1"
  allowed="$2"
  bad=$(grep -rnoE '#\s*include\s*"[a-z]+/' "$src/$dir" |
        sed -E 's/#\s*include\s*"([a-z]+)\/$/\1/' |
        while IFS=: read -r file line layer; do
          case " $allowed " in
            *" $layer "*) ;;
            *) echo "$file:$line: includes $layer/" ;;
          esac
        done)
  if [ -n "$bad" ]; then
    echo "src/$dir may include only: $allowed" >&2
    echo "$bad" >&2
    status=1
  fi
}
check core "core"
check model "core model"
check link "core link"
check bci "core link model bci"
check ops "core link model bci ops"
check edit "core model edit"
check sim "core sim"
check platform "core platform"
check printing "core model edit printing"
exit $status

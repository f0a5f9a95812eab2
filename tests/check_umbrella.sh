#!/usr/bin/env bash
# Fails when a public header is missing from its umbrella: the core's from fieldcore.h, the road
# component's from road.h.
cd "$1" || exit 2
missing=0
check() { # umbrella header...
  local umbrella=$1; shift
  for h in "$@"; do
    [ -e "$h" ] || continue
    grep -q "#include \"$h\"" "$umbrella" || { echo "$umbrella does not include $h"; missing=1; }
  done
}
check fieldcore.h platform/*.h numeric/*.h cogo/*.h vrkmath/*.h inlines/*.h files/*.h devices/*.h dialogs/*.h
check road.h road/*.h
exit $missing

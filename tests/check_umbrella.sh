#!/usr/bin/env bash
# Fails when a public header of the core library is missing from fieldcore.h.
cd "$1" || exit 2
missing=0
for h in platform/*.h numeric/*.h cogo/*.h vrkmath/*.h inlines/*.h files/*.h devices/*.h dialogs/*.h; do
  [ -e "$h" ] || continue
  grep -q "#include \"$h\"" fieldcore.h || { echo "fieldcore.h does not include $h"; missing=1; }
done
exit $missing

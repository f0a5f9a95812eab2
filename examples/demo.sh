#!/usr/bin/env bash
# The demo: the fieldcore tool on the bundled examples.
tool="${1:-build/tools/fieldcore}"
set -e
echo "== a packed DMS angle in decimal degrees"
"$tool" angle 123.4530 --from dms --to deg
echo "== decimal degrees as packed DMS, whole seconds"
"$tool" angle 123.758333333 --from deg --to dms --digits 4
echo "== a right angle in grads, mils and radians"
for u in grd mls rad; do "$tool" angle 90 --from deg --to $u; done
echo "== 100 m in US survey feet and in feet-inch-eighths"
"$tool" dist 100 --from m --to usft
"$tool" dist 100 --from m --to usfti

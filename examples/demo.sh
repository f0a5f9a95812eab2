#!/usr/bin/env bash
# The demo: the fieldcore tool on the bundled examples.
tool="${1:-build/tools/fieldcore}"
here="$(cd "$(dirname "$0")" && pwd)"
set -e
echo "== the example road: alignments, elements, key points (TS, SC, CS, ST, PI) and profile"
"$tool" road info
echo "== the ramp alone, in US survey feet"
"$tool" road info --alignment "Ramp A1" --units usft
echo "== a packed DMS angle (123 deg 45 min 30 s) in decimal degrees, and as text"
"$tool" angle 123.4530 --from dms --to deg
"$tool" angle 123.4530 --from dms --text
echo "== a right angle in grads, mils and radians"
for u in grd mls rad; do "$tool" angle 90 --from deg --to $u; done
echo "== 100 m in US survey feet and in feet-inch-eighths"
"$tool" dist 100 --from m --to usft
"$tool" dist 100 --from m --to usfti
echo "== stations: chainage 1234.5 m as text with 100 m and 1000 m stations, and back"
"$tool" station 1234.5
"$tool" station --unit 1000 1234.5
"$tool" station --parse 12+34.50
echo "== a circular curve of radius 300 m turning 25.5 degrees"
"$tool" curve --radius 300 --delta 25.5
echo "== the building plot of examples/parcel.txt: area, and the hinge line from its first corner (azimuth 45) that cuts 1200 m2"
"$tool" area "$here/parcel.txt"
"$tool" area "$here/parcel.txt" --divide-hinge 45 --area 1200
echo "== CRC-16 of the nine digits 1 to 9"
printf 123456789 | "$tool" crc16

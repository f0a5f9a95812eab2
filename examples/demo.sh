#!/usr/bin/env bash
# The demo: the fieldcore tool on the bundled example road (examples/exampleRoad.xml), then a
# few unit conversions. The plot is written to FIELDCORE_DEMO_OUT (default: demo/ beside the
# tool's build folder).
tool="${1:-build/tools/fieldcore}"
here="$(cd "$(dirname "$0")" && pwd)"
out="${FIELDCORE_DEMO_OUT:-$(cd "$(dirname "$tool")/.." && pwd)/demo}"
set -e
mkdir -p "$out"
# Whether the tool has the road subcommand $1 (each step below runs only when it does).
has() { "$tool" road "$1" --help >/dev/null 2>&1 || { echo "   (this build has no 'road $1')"; false; }; }

echo "== road info: the example road's alignments, elements, key points (TS, SC, CS, ST, PC, PT, PI) and profile"
"$tool" road info --example --alignment "Main Road"

echo
echo "== road stakeout: every 20 m from 1+300 to 1+420 (through the TS at 1+320 and the SC at 1+400), at -5 m (left), 0 and +5 m (right)"
if has stakeout; then
  for s in $(seq 1300 20 1420); do for o in -5 0 5; do echo "$s $o"; done; done | "$tool" road stakeout --example --alignment "Main Road"
fi

echo
echo "== road locate: station, offset, design height and cut/fill of four surveyed points (the last one beyond the end)"
cat >"$out/points.txt" <<'EOF'
# north east height
6543480.00 1234740.00 55.00
6543700.00 1235010.00 50.20
6544300.00 1235215.00 56.00
6544900.00 1235420.00 59.10
EOF
if has locate; then
  "$tool" road locate --example --alignment "Main Road" --input "$out/points.txt"
fi

echo
echo "== road sample: the ramp's centreline as GeoJSON, no chord more than 0.25 m from the curve"
if has sample; then
  "$tool" road sample --example --alignment "Ramp A1" --deviation 0.25 --format geojson
fi

echo
echo "== road plot: plan and profile of the main road as SVG, with its edges at ±5 m and the surveyed points"
"$tool" road plot --example --alignment "Main Road" --offsets -5,5 --points "$out/points.txt" -o "$out/road-plot.svg"
if command -v rsvg-convert >/dev/null 2>&1; then
  rsvg-convert -w 1200 -o "$out/road-plot.png" "$out/road-plot.svg" && echo "$out/road-plot.png: the same as PNG"
fi

echo
echo "== units: a packed DMS angle in degrees and as text; 100 m in US survey feet; a station as text and back"
"$tool" angle 123.4530 --from dms --to deg
"$tool" angle 123.4530 --from dms --text
"$tool" dist 100 --from m --to usft
"$tool" station 1234.5
"$tool" station --parse 12+34.50
echo "== a circular curve of radius 300 m turning 25.5 degrees"
"$tool" curve --radius 300 --delta 25.5
echo "== the building plot of examples/parcel.txt: area, and the hinge line from its first corner (azimuth 45) that cuts 1200 m2"
"$tool" area "$here/parcel.txt"
"$tool" area "$here/parcel.txt" --divide-hinge 45 --area 1200
echo "== CRC-16 of the nine digits 1 to 9"
printf 123456789 | "$tool" crc16
echo "== the differential-correction beacons of the example listing examples/beacons.txt"
"$tool" beacons "$here/beacons.txt"
echo
echo "== the message pop-up: every button set with every icon, on both templates (240x320, and every other screen drawn at 320x240): a PNG gallery with an index.html"
if "$tool" ui --help > /dev/null 2>&1; then
  gallery="$out/popups"
  mkdir -p "$gallery"
  {
    echo "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Message pop-ups</title></head><body>"
    for screen in 240x320 320x240; do
      echo "<h2>$screen</h2>"
      # 3x and 4x: types 3 and 4 with both extra buttons.
      for set in 0 1 2 3 3x 4 4x 5; do
        extras=(); [ "${set#?}" = x ] && extras=(--yes-to-all --no-to-all)
        echo "<p>"
        for icon in 0 1 2 3 4; do
          type=$(printf '0x%X%X' "$icon" "${set%x}")
          name="popup-$screen-$type${extras:+-all}.png"
          "$tool" ui popup --screen "$screen" --type "$type" "${extras[@]}" --caption "Point" \
            --text "Point 1001 exists already. Overwrite it with the new measurement?" -o "$gallery/$name" >/dev/null
          echo "<img src=\"$name\" alt=\"$screen type $type\" title=\"$screen type $type${extras:+ with both extra buttons}\">"
        done
        echo "</p>"
      done
    done
    echo "</body></html>"
  } >"$gallery/index.html"
  echo "$gallery/index.html: $(ls "$gallery" | grep -c '\.png$') pictures"
  "$tool" ui popup --type 0x24 --caption "Point" --text "Overwrite point 1001?"
  "$tool" ui dialog --ok --cancel --title "Point" -o "$out/dialog.png" && echo "$out/dialog.png: an empty dialog frame"
else
  echo "(no 'ui' command in this build: the window renderer needs cairo)"
fi

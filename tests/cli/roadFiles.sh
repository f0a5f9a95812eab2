#!/usr/bin/env bash
# fieldcore road on exporters' files: a profile that starts late, an equation with staBack
# "NaN", km-post equations, an unsymmetrical parabolic curve and an overlapping equation with
# its regions (@K in and out), through info, stakeout, locate, sample, plot and convert.
TOOL=$1
SRC=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
source "$(dirname "$0")/lib.sh"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# A straight alignment of LENGTH from north 1000, east 2000 with extra XML (equations, profile).
road() {   # FILE LENGTH STASTART EXTRA
  cat >"$1" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Metric linearUnit="meter" angularUnit="decimal degrees" directionUnit="decimal degrees"/></Units>
<Alignments><Alignment name="A" length="$2" staStart="$3"><CoordGeom>
<Line length="$2"><Start>1000 2000</Start><End>$(awk -v l="$2" 'BEGIN {print 1000 + l}') 2000</End></Line>
</CoordGeom>
$4
</Alignment></Alignments></LandXML>
EOF
}
height() {   # FILE STATION [OPTIONS]: the design height column of stakeout --csv
  local f=$1 s=$2; shift 2
  "$TOOL" road stakeout "$f" --station "$s" --csv "$@" | tail -1 | cut -d, -f5
}

# The issue's minimal file: the profile begins at 300 of an alignment starting at 0. Failed
# before: 95, 90 and 85 at 800, 900 and 1000.
road "$TMP/late.xml" 1000 0 '<Profile name="P"><ProfAlign name="P">
<PVI>300 100</PVI><PVI>500 110</PVI><PVI>700 100</PVI><PVI>800 105</PVI><PVI>900 100</PVI><PVI>1000 110</PVI>
</ProfAlign></Profile>'
expect_out "late profile at 800, 900, 1000" "$(printf '105.000000000\n100.000000000\n110.000000000')" \
  sh -c "printf '800\n900\n1000\n' | '$TOOL' road stakeout '$TMP/late.xml' --csv | tail -n +2 | cut -d, -f5"
expect_out "late profile located" "$(printf '105.000000000\n100.000000000')" \
  sh -c "printf '1800 2003\n1900 1996\n' | '$TOOL' road locate '$TMP/late.xml' --csv | tail -n +2 | cut -d, -f5"
expect_out "no height before the first VIP" "-" \
  sh -c "'$TOOL' road stakeout '$TMP/late.xml' --station 100 | grep -v '^#' | sed 's/.*height \([^ ]*\).*/\1/'"
expect_out "the first grade carried back when asked" "90.000000000" height "$TMP/late.xml" 100 --extend-grades
expect_out "no cut/fill outside the profile" "" \
  sh -c "'$TOOL' road locate '$TMP/late.xml' 1100 2000 95 --csv | tail -1 | cut -d, -f6"
expect_out "sample: no height before the profile, exact at its end" "$(printf '\n110.000000000')" \
  sh -c "'$TOOL' road sample '$TMP/late.xml' --deviation 0.01 --csv | tail -n +2 | cut -d, -f5 | sed -n '1p;\$p'"
printf '300 1\n1000 1\n' >"$TMP/table.txt"
expect_out "sample --offsets: from the first offset to the last station" "$(printf '300.000000000,1.000000000,100.000000000\n1000.000000000,1.000000000,110.000000000')" \
  sh -c "'$TOOL' road sample '$TMP/late.xml' --deviation 0.01 --offsets '$TMP/table.txt' --csv | tail -n +2 | cut -d, -f1,2,5 | sed -n '1p;\$p'"

# staBack "NaN" marks where posted stations begin; an unsymmetrical curve (in 120, out 60)
# at 500 between grades -2 % and +3 %: 1 m above the VIP, 95.
road "$TMP/nan.xml" 1000 0 '<StaEquation staBack="NaN" staAhead="5000" staInternal="0"/>
<Profile name="P"><ProfAlign name="P">
<PVI>200 100</PVI><UnsymParaCurve lengthIn="120" lengthOut="60">500 94</UnsymParaCurve><PVI>800 103</PVI>
</ProfAlign></Profile>'
expect_out "staBack NaN: info" "0" sh -c "'$TOOL' road info '$TMP/nan.xml' >/dev/null; echo \$?"
expect_out "staBack NaN: stations start at 5+000.00" "5+000.00" \
  sh -c "'$TOOL' road info '$TMP/nan.xml' | sed -n 's/.*stations \([^ ]*\) to.*/\1/p'"
# (Its heights along both halves: roadDesignHeight_test.cpp.)
expect_out "unsym curve at its VIP" "95.000000000" height "$TMP/nan.xml" 5+500
expect_out "staBack NaN: sample" "5000.000000000" \
  sh -c "'$TOOL' road sample '$TMP/nan.xml' --deviation 0.01 --csv | sed -n 2p | cut -d, -f1"
expect_status "staBack NaN: plot" 0 "$TOOL" road plot "$TMP/nan.xml" -o "$TMP/nan.svg"
expect_out "unsym curve in the plot" "1" sh -c "grep -c 'L 180.00' '$TMP/nan.svg'"

# Km posts: the zero post 230 m before the start; the next post's staBack holds the distance
# from the post before (1000), not the back station (2030): warned once, mapping kept.
road "$TMP/km.xml" 2000 0 '<StaEquation staBack="NaN" staAhead="0" staInternal="-230" desc="km 0"/>
<StaEquation staBack="1000" staAhead="2000" staInternal="1800" desc="km 2"/>'
expect_out "km posts: the start's station" "0+230.00" \
  sh -c "'$TOOL' road stakeout '$TMP/km.xml' --station 230 | grep -v '^#' | cut -d' ' -f1"
expect_out "km posts: warned once" "1" sh -c "'$TOOL' road info '$TMP/km.xml' 2>&1 >/dev/null | grep -c 'disagrees'"
expect_out "km posts: staBack as written" "1" sh -c "'$TOOL' road info '$TMP/km.xml' 2>/dev/null | grep -c 'back 1+000.00 = ahead 2+000.00'"
expect_out "km posts: after the second post" "$(printf '2+100.00  offset 0.0000  north 2900.0000')" \
  sh -c "'$TOOL' road stakeout '$TMP/km.xml' --station 2+100 2>/dev/null | grep -v '^#' | sed 's/  east.*//'"

# An overlap: back 675.88 = ahead 675.00. Region 1 runs to 675.88, region 2 from there.
road "$TMP/over.xml" 1000 0 '<StaEquation staBack="675.88" staAhead="675.00" staInternal="675.88"/>'
expect_out "overlap: regions listed" "$(printf '  region 1: stations 0+000.00 to 0+675.88, chainage 0.0000 to 675.8800\n  region 2: stations 0+675.00 to 0+999.12, chainage 675.8800 to 1000.0000')" \
  sh -c "'$TOOL' road info '$TMP/over.xml' | grep '^  region'"
expect_fail "overlap: a station without region refused, both regions named" 2 "regions 1 and 2" \
  "$TOOL" road stakeout "$TMP/over.xml" --station 0+675.40
expect_out "overlap: @2 in, @2 out" "0+675.40@2  offset 0.0000  north 1676.2800" \
  sh -c "'$TOOL' road stakeout '$TMP/over.xml' --station 0+675.40@2 | grep -v '^#' | sed 's/  east.*//'"
expect_out "overlap: @1" "0+675.40@1  offset 0.0000  north 1675.4000" \
  sh -c "'$TOOL' road stakeout '$TMP/over.xml' --station 675.4@1 | grep -v '^#' | sed 's/  east.*//'"
expect_out "overlap: other lines still run" "$(printf '0+600.00\n0+675.10@2\n0+700.00')" \
  sh -c "printf '600\n675.1\n675.1@2\n700\n' | '$TOOL' road stakeout '$TMP/over.xml' 2>/dev/null | grep -v '^#' | cut -d' ' -f1"
expect_err "overlap: the refused line named" "line 2: .*regions 1 and 2" \
  sh -c "printf '600\n675.1\n' | '$TOOL' road stakeout '$TMP/over.xml'"
expect_out "overlap: located with its region" "0+675.40@2  offset 1.0000" \
  sh -c "'$TOOL' road locate '$TMP/over.xml' 1676.28 2001 | grep -v '^#' | sed 's/  height.*//'"
expect_out "overlap: CSV stations carry @K" "675.400000000@2" \
  sh -c "'$TOOL' road locate '$TMP/over.xml' 1676.28 2001 --csv | tail -1 | cut -d, -f3"
expect_out "overlap: range runs through both regions" "$(printf '0+670.00\n0+675.00@1\n0+675.00@2\n0+680.00')" \
  sh -c "'$TOOL' road stakeout '$TMP/over.xml' --from 670@1 --to 680 --every 5 | grep -v '^#' | cut -d' ' -f1"
printf '600 1\n675.5@2 1\n' >"$TMP/overTable.txt"
expect_out "overlap: a table station with @K, sampled with @K" "675.500000000@2" \
  sh -c "'$TOOL' road sample '$TMP/over.xml' --deviation 0.01 --offsets '$TMP/overTable.txt' --csv | tail -1 | cut -d, -f1"
expect_out "overlap: GeoJSON stations with their regions" '"regions": [1, 2]' \
  sh -c "'$TOOL' road sample '$TMP/over.xml' --deviation 0.01 --format geojson | grep -o '\"regions\": \[[^]]*\]'"
expect_status "overlap: plot" 0 "$TOOL" road plot "$TMP/over.xml" --interval 5 -o "$TMP/over.svg"
# The tick at 675 of region 1 lies in the overlap (region 2's 675 is the equation's own tick).
expect_out "overlap: plot ticks carry @K" 'data-station="0+675.00@1"' \
  sh -c "grep -o 'data-station=\"0+675.00@[12]\"' '$TMP/over.svg' | sort -u"
expect_out "overlap: the equation's tick" "1" sh -c "grep -c 'data-station=\"0+675.88 = 0+675.00\"' '$TMP/over.svg'"

# What road info lists, without the file's name and the source lines.
listing() { "$TOOL" road info "$1" 2>/dev/null | sed 1d | sed -E 's/line [0-9]+//g; s/ +[0-9]+$//'; }

# Convert keeps all of it: converting the converted file changes nothing, and the lists agree.
for f in late nan km over; do
  "$TOOL" road convert "$TMP/$f.xml" -o "$TMP/$f.1.xml" >/dev/null 2>&1
  "$TOOL" road convert "$TMP/$f.1.xml" -o "$TMP/$f.2.xml" >/dev/null 2>&1
  expect_out "$f: convert round trip" "" bash -c "diff <(sed 's/date=\"[^\"]*\" time=\"[^\"]*\"//' '$TMP/$f.1.xml') <(sed 's/date=\"[^\"]*\" time=\"[^\"]*\"//' '$TMP/$f.2.xml')"
  listing "$TMP/$f.xml" >"$TMP/a.txt"
  listing "$TMP/$f.1.xml" >"$TMP/b.txt"
  expect_out "$f: converted lists the same" "" diff "$TMP/a.txt" "$TMP/b.txt"
done
expect_out "convert keeps staBack missing" "0" sh -c "grep -c 'staBack' '$TMP/nan.1.xml'; true"
expect_out "convert keeps the unsym curve" "1" sh -c "grep -c 'UnsymParaCurve lengthIn=\"120\" lengthOut=\"60\"' '$TMP/nan.1.xml'"

# Every command answers on every one of these files.
printf '1500 2003 100\n1675.5 1998\n' >"$TMP/points.txt"
for f in late nan km over; do
  expect_status "$f: info" 0 "$TOOL" road info "$TMP/$f.xml"
  case $f in nan) from=5000 to=5999 ;; km) from=230 to=2200 ;; *) from=0@1 to=999 ;; esac
  expect_status "$f: stakeout" 0 "$TOOL" road stakeout "$TMP/$f.xml" --from $from --to $to --every 50 --csv
  expect_status "$f: locate" 0 "$TOOL" road locate "$TMP/$f.xml" --input "$TMP/points.txt"
  expect_status "$f: sample" 0 "$TOOL" road sample "$TMP/$f.xml" --deviation 0.01 --offset 2 --format geojson
  expect_status "$f: plot" 0 "$TOOL" road plot "$TMP/$f.xml" --points "$TMP/points.txt" -o "$TMP/$f.svg"
done

# Station text (its forms and refusals: roadStationText_test.cpp) to --decimals.
expect_out "station decimals follow --decimals" "0+012.3457" \
  sh -c "'$TOOL' road stakeout '$TMP/late.xml' --station 12.345678 --decimals 4 | grep -v '^#' | cut -d' ' -f1"
for sub in stakeout locate sample info plot; do
  "$TOOL" road $sub --help >"$TMP/help.txt"
  expect_out "$sub --help: height rule, regions, station form" "yes" \
    sh -c "grep -q 'Design heights' '$TMP/help.txt' && grep -q 'STATION@K' '$TMP/help.txt' && grep -q '2+050.00' '$TMP/help.txt' && echo yes"
done
finish

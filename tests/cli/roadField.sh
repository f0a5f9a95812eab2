#!/usr/bin/env bash
# fieldcore road as a field tool: point files as surveyors keep them, rows that stay aligned
# with the input, guards against blunders, GeoJSON, the plot's stray points, output forms.
TOOL=$1
SRC=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
source "$(dirname "$0")/lib.sh"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
EX="$SRC/examples/exampleRoad.xml"
MAIN=$TMP/main.xml
sed '/<Alignment name="Ramp A1"/,/<\/Alignment>/d' "$EX" >"$MAIN"

# Point files: names, codes, CR LF, a header row naming the columns in its own order.
printf 'P1 6543576.1994 1234830.4539 52 KERB\r\n# a comment\r\n\r\n6543576.1994,1234830.4539,53\r\nP3;6543576.1994;1234830.4539\r\n' >"$TMP/named.txt"
expect_out "names, else line numbers; codes read" "$(printf 'P1  1+450.00\nline 4  1+450.00\nP3  1+450.00')" \
  sh -c "'$TOOL' road locate $MAIN --input '$TMP/named.txt' | sed 1d | sed 's/  offset.*//'"
expect_out "a numbered point: the first of four numbers is its name" "101  1+450.00" \
  sh -c "printf '101 6543576.1994 1234830.4539 52\n' | '$TOOL' road locate $MAIN | sed 1d | sed 's/  offset.*//'"
expect_out "cut/fill of a named point" "fill 0.7000" \
  sh -c "'$TOOL' road locate $MAIN --input '$TMP/named.txt' | sed -n 2p | grep -o 'fill [0-9.]*'"
printf 'Code,Elev,Easting,Northing,Point\r\nKERB,52,1234830.4539,6543576.1994,A1\r\n,,1234830.4539,6543576.1994,A2\r\n' >"$TMP/header.csv"
expect_out "CSV by its header row, any order and case" "$(printf 'A1,2,1450.000,-0.700\nA2,3,1450.000,')" \
  sh -c "'$TOOL' road locate $MAIN --input '$TMP/header.csv' --csv | tail -n +2 |
         awk -F, '{ printf \"%s,%s,%.3f,%s\\n\", \$1, \$2, \$3, (\$6 == \"\" ? \"\" : sprintf(\"%.3f\", \$6)) }'"

# A CSV with a bad middle line: every input line keeps its row, the reason in `status`.
printf 'name,north,east\nA,6543576.1994,1234830.4539\nB,abc,1234830.4539\nC,6543576.1994,1234830.4539\n' >"$TMP/bad.csv"
expect_out "rows stay aligned" "$(printf 'A,2,ok\nB,3,bad\nC,4,ok')" \
  sh -c "'$TOOL' road locate $MAIN --input '$TMP/bad.csv' --csv 2>/dev/null | tail -n +2 |
         awk -F, '{ print \$1 \",\" \$2 \",\" (\$NF == \"ok\" ? \"ok\" : \"bad\") }'"
expect_fail "the bad line named on stderr" 2 "line 3: " "$TOOL" road locate $MAIN --input "$TMP/bad.csv" --csv

# Guards: a point 20 km off, a station 5 km beyond the end, a huge coordinate (the statuses of
# every kind of point: roadBatch_test.cpp).
expect_fail "a point 20 km off, its distance named" 2 "from the alignment (more than --max-distance 1000.0000)\|before the start\|beyond the end" \
  "$TOOL" road locate $MAIN 6563576 1234830
expect_out "a point 20 km off answers with a larger --max-distance" "1" \
  sh -c "'$TOOL' road locate $MAIN 6543100 1254500 --max-distance 30000 | sed 1d | wc -l"
expect_fail "a station 5 km beyond the end: how far" 2 "5000.0000 beyond the end" "$TOOL" road stakeout $MAIN --station 7990
expect_status "a coordinate of 1e9" 2 "$TOOL" road locate $MAIN 1e9 1234830

# GeoJSON a GIS opens in the right place: read back with GDAL's ogrinfo (Debian's gdal-bin).
sed 's|</Units>|</Units><CoordinateSystem name="ETRS-TM35FIN" epsgCode="3067"/>|' "$MAIN" >"$TMP/epsg.xml"
wkt='PROJCS["ETRS89 / TM35FIN(E,N)",GEOGCS["ETRS89",AUTHORITY["EPSG","4258"]],PROJECTION["Transverse_Mercator"],UNIT["metre",1],AUTHORITY["EPSG","3067"]]'
sed "s|</Units>|</Units><CoordinateSystem ogcWktCode='$wkt'/>|" "$MAIN" >"$TMP/wkt.xml"
if command -v ogrinfo >/dev/null 2>&1; then
  for f in epsg wkt; do
    "$TOOL" road sample "$TMP/$f.xml" --deviation 0.05 --format geojson >"$TMP/$f.geojson"
    ogrinfo -ro -al -so "$TMP/$f.geojson" >"$TMP/$f.info" 2>&1
    expect_out "$f: one feature" "Feature Count: 1" grep '^Feature Count' "$TMP/$f.info"
    expect_out "$f: a 3D line (heights as the third coordinate)" "Geometry: 3D Line String" grep '^Geometry' "$TMP/$f.info"
    expect_out "$f: extent (the road's ends, to 0.1 mm)" "1234567.9150 6543210.4820 1235407.3902 6544858.7619" \
      sh -c "grep '^Extent' '$TMP/$f.info' | tr -d '(),-' | awk '{ printf \"%.4f %.4f %.4f %.4f\", \$2, \$3, \$4, \$5 }'"
    expect_out "$f: its CRS" "1" sh -c "grep -c 'ID\[\"EPSG\",3067\]\]\$' '$TMP/$f.info'"
  done
  "$TOOL" road sample $MAIN --deviation 0.05 --format geojson >"$TMP/grid.geojson"
  expect_out "no coordinate system named: none claimed" "0" sh -c "grep -c '\"crs\"' '$TMP/grid.geojson'; true"
else
  _fail "ogrinfo is missing: install Debian's gdal-bin (make deps does)"
fi
expect_out "geojson --help says the grid" "1" sh -c "'$TOOL' road sample --help | grep -c \"the file's grid\""

# The plot with a far point: listed on the page and on stderr, not drawn; the scale is the road's.
printf 'NEAR 6543576.1994 1234830.4539 52\nFAR 6563576 1234830 50\n' >"$TMP/pts.txt"
"$TOOL" road plot $MAIN -o "$TMP/a.svg" >/dev/null
"$TOOL" road plot $MAIN --points "$TMP/pts.txt" -o "$TMP/b.svg" >/dev/null 2>"$TMP/b.err"
expect_out "far point on stderr" "1" grep -c "point FAR .* not drawn" "$TMP/b.err"
expect_out "far point in the note" "1" grep -c 'Not drawn, farther than 1000.00 m from the road: FAR' "$TMP/b.svg"
expect_out "only the near point drawn" "1" sh -c "grep -o '<g class=\"point\"' '$TMP/b.svg' | wc -l | awk '{print (\$1 >= 1 && \$1 <= 2)}'"
expect_out "the plan's scale is the road's" "$(grep -o 'id="scale-bar" data-length="[^"]*"' "$TMP/a.svg")" \
  grep -o 'id="scale-bar" data-length="[^"]*"' "$TMP/b.svg"
# Output a person and a program can rely on.
expect_out "dms azimuths in text" "azimuth 043°47'39.7\"" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1450 --angles dms | sed 1d | grep -o 'azimuth .*'"
expect_out "the header names the azimuth form" "1" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1450 --angles dms | head -1 | grep -c \"azimuths ddd°mm'ss.s\""
expect_out "packed dms only in CSV, named so" "azimuth_packed_dms 43.473972122" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1450 --angles dms --csv | awk -F, 'NR == 1 { print \$6 } NR == 2 { print \$6 }' | paste -sd' '"
# Feet in CSV at full precision: failed before (4000.123460000: the display's five decimals).
expect_out "feet CSV keeps every digit" "4000.123456789" \
  sh -c "'$TOOL' road stakeout $MAIN --units usft --station 4000.123456789 --csv | tail -1 | cut -d, -f1"
expect_out "feet CSV coordinates exact" "21467770.820616309" \
  sh -c "'$TOOL' road stakeout $MAIN --units usft --station 4000.123456789 --csv | tail -1 | cut -d, -f3"
expect_err "an option without its value named" "--station needs a value" "$TOOL" road stakeout $MAIN --station
expect_err "an option given twice named" "--station given twice" "$TOOL" road stakeout $MAIN --station 1100 --station 1200
expect_out "no scientific notation, no -0" "0" \
  sh -c "'$TOOL' road locate $MAIN 6543210.482 1234567.915 --csv | tail -1 | grep -c -e 'e+' -e 'e-' -e ',-0.000000000,'; true"
finish

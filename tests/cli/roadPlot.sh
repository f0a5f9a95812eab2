#!/usr/bin/env bash
# fieldcore road plot: the example road's plot rendered by rsvg-convert (Debian's librsvg2-bin,
# which `make deps` installs), offset lines and surveyed points, and the errors.
TOOL=$1
SRC=$2
source "$(dirname "$0")/lib.sh"
EX="$SRC/examples/exampleRoad.xml"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Width of a PNG from its header (bytes 16-19, big-endian).
png_width() { od -An -tu1 -j16 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }'; }

expect_status "plot --help" 0 "$TOOL" road plot --example --alignment 1 --help
expect_out "road --help lists plot" "1" sh -c "'$TOOL' road --help | grep -c '^  plot '"

expect_out "plot of the example" "$TMP/road.svg: plan and profile of \"Main Road\"" \
  "$TOOL" road plot --example --alignment 1 -o "$TMP/road.svg"
expect_out "an SVG document" '<svg xmlns="http://www.w3.org/2000/svg"' sh -c "sed -n 2p '$TMP/road.svg' | cut -c1-39"

if command -v rsvg-convert >/dev/null 2>&1; then
  expect_out "rsvg-convert renders it without a word" "" rsvg-convert -w 1200 -o "$TMP/road.png" "$TMP/road.svg"
  expect_out "a PNG 1200 px wide" "1200" png_width "$TMP/road.png"
  # The ramp (no profile) with offset lines and surveyed points, in feet.
  printf 'north,east,height\n6543330.0 1235005.0 1.0\n# a comment\n6543322.5;1235090.0\n' >"$TMP/points.txt"
  expect_out "ramp with offsets and points" "$TMP/ramp.svg: plan and profile of \"Ramp A1\"" \
    "$TOOL" road plot "$EX" --alignment "Ramp A1" --offsets -3.5,3.5 --points "$TMP/points.txt" -o "$TMP/ramp.svg"
  expect_out "ramp renders" "" rsvg-convert -o "$TMP/ramp.png" "$TMP/ramp.svg"
  expect_out "main road in US feet with points renders" "" sh -c \
    "'$TOOL' road plot --example --alignment 1 --units usft --points '$TMP/points.txt' --width 800 -o - | rsvg-convert -o '$TMP/ft.png' && echo"
  expect_out "800 px wide" "800" png_width "$TMP/ft.png"
else
  _fail "rsvg-convert is missing: install Debian's librsvg2-bin (make deps does)"
fi
expect_out "points labelled with their line" "2" sh -c \
  "grep -c -e '>2</text>' -e '>4</text>' '$TMP/ramp.svg' | tr -d ' '"
expect_out "offset lines drawn" "2" sh -c "grep -o 'class=\"offset\"' '$TMP/ramp.svg' | wc -l | tr -d ' '"

# Errors: exit 2 with a message.
expect_fail "no -o" 2 "give the output file" "$TOOL" road plot --example --alignment 1
expect_status "bad offsets" 2 "$TOOL" road plot --example --alignment 1 --offsets 5,x -o "$TMP/x.svg"
expect_status "zero offset" 2 "$TOOL" road plot --example --alignment 1 --offsets 0 -o "$TMP/x.svg"
expect_status "bad width" 2 "$TOOL" road plot --example --alignment 1 --width 100 -o "$TMP/x.svg"
expect_status "interval too short" 2 "$TOOL" road plot --example --alignment 1 --interval 0.01 -o "$TMP/x.svg"
expect_status "unknown alignment" 2 "$TOOL" road plot --example --alignment Nowhere -o "$TMP/x.svg"
expect_status "points file missing" 2 "$TOOL" road plot --example --alignment 1 --points "$TMP/none.txt" -o "$TMP/x.svg"
expect_status "unwritable output" 2 "$TOOL" road plot --example --alignment 1 -o "$TMP/no/such/dir/x.svg"
printf '6543330 1235005\n6543330 oops\n' >"$TMP/bad.txt"
expect_fail "bad points line: its number" 2 "line 2:" "$TOOL" road plot --example --alignment 1 --points "$TMP/bad.txt" -o "$TMP/bad.svg"
expect_out "bad points line: the plot still written" "1" sh -c "grep -c '</svg>' '$TMP/bad.svg'"

# Pages: --pages N writes FILE-1.svg ... FILE-N.svg (what each page holds: roadPlot_test.cpp).
expect_out "two pages" "$(printf '%s\n%s' "$TMP/two-1.svg: plan and profile of \"Main Road\"" "$TMP/two-2.svg: plan and profile of \"Main Road\"")" \
  "$TOOL" road plot --example --alignment 1 --pages 2 -o "$TMP/two.svg"
expect_status "several pages to stdout" 2 "$TOOL" road plot --example --alignment 1 --pages 2 -o -
expect_status "--pages 0" 2 "$TOOL" road plot --example --alignment 1 --pages 0 -o "$TMP/x.svg"
expect_status "--scale 2000:1" 2 "$TOOL" road plot --example --alignment 1 --scale 2000:1 -o "$TMP/x.svg"
expect_status "--pages with --scale" 2 "$TOOL" road plot --example --alignment 1 --pages 2 --scale 1:2000 -o "$TMP/x.svg"
expect_out "--scale 1:1000 of 1940 m: 3.78 px a metre, 1044 px a page: 8 pages" "8" sh -c "'$TOOL' road plot --example --alignment 1 --scale 1:1000 -o '$TMP/s.svg' | wc -l | tr -d ' '"
# Each page at the scale asked for, saying so; its centreline cut at its stretch's ends. Failed
# before: page 2 (1+230.38 to 1+497.13, 266.75 m) drew the line from 1+000 on and so at 1:1811,
# the other pages at 1:1159 to 1:1832, none saying so; tangents to PIs ran off the frame.
"$TOOL" road plot --example --alignment 1 --scale 1:1000 -o "$TMP/k.svg" >/dev/null
expect_out "--scale 1:1000: every page at 1:1000" "8" sh -c "cat '$TMP'/k-*.svg | grep -c 'data-scale=\"1:1000\"'"
expect_out "--scale 1:1000: every page says 1:1000" "8" sh -c "cat '$TMP'/k-*.svg | grep -c '>1:1000 at 96 dpi<'"
# 266.75 m at 1:1000 (3.7795 px a metre) is 1008 px: the centreline, slightly curved, spans
# little less (it spanned 1045 px at 1:1811: 500 m).
expect_out "page 2's centreline spans its stretch" "yes" sh -c "grep -o 'id=\"centreline\"><polyline class=\"cl\" points=\"[^\"]*' '$TMP/k-2.svg' |
  sed 's/.*points=\"//' | tr ' ' '\n' | awk -F, 'NR == 1 || \$1 < lo { lo = \$1 } NR == 1 || \$1 > hi { hi = \$1 } END { print (hi - lo > 990 && hi - lo <= 1008.5 ? \"yes\" : hi - lo) }'"
expect_out "no tangent leaves page 3's frame" "0" sh -c "grep -o 'class=\"tangent\"><polyline class=\"tan\" points=\"[^\"]*' '$TMP/k-3.svg' |
  sed 's/.*points=\"//' | tr ' ' '\n' | awk -F, '\$1 < 30 || \$1 > 1170 { n++ } END { print n + 0 }'"
expect_status "--scale 1:1e300" 2 "$TOOL" road plot --example --alignment 1 --scale 1:1e300 -o "$TMP/x.svg"
# Why a page draws no profile. Failed before: "none in the road file" for a profile of one
# VIP, and for the pages of a road whose profile covers only its middle.
road1() {   # FILE PROFILE-VIPS: a straight 1000 m alignment with the profile's VIPs
  printf '<?xml version="1.0"?>\n<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2"><Units><Metric linearUnit="meter"/></Units><Alignments><Alignment name="A" staStart="0"><CoordGeom><Line><Start>1000 2000</Start><End>2000 2000</End></Line></CoordGeom><Profile name="P"><ProfAlign name="P">%s</ProfAlign></Profile></Alignment></Alignments></LandXML>\n' "$2" >"$1"
}
road1 "$TMP/oneVip.xml" '<PVI>50 10</PVI>'
road1 "$TMP/middle.xml" '<PVI>300 100</PVI><PVI>500 110</PVI><PVI>700 100</PVI>'
"$TOOL" road plot "$TMP/oneVip.xml" -o "$TMP/oneVip.svg" >/dev/null
"$TOOL" road plot "$TMP/middle.xml" --pages 4 -o "$TMP/middle.svg" >/dev/null
expect_out "a profile of one VIP" 'Profile: &quot;P&quot; holds one VIP only (0+050.00): no design line to draw' \
  grep -o 'Profile: [^<]*' "$TMP/oneVip.svg"
road1 "$TMP/refused.xml" '<PVI>50</PVI><PVI>500 110</PVI>'
"$TOOL" road plot "$TMP/refused.xml" -o "$TMP/refused.svg" 2>/dev/null >/dev/null
expect_out "a refused profile" "Profile: &quot;P&quot; refused (line 2): &lt;PVI&gt;: expected two numbers, got '50'" \
  grep -o 'Profile: [^<]*' "$TMP/refused.svg"
expect_out "pages beyond the profile's ends" "$(printf '%s\n' 1 4 | sed 's/.*/Profile: \&quot;P\&quot; runs from 0+300.00 to 0+700.00, not along this stretch/')" \
  sh -c "grep -ho 'Profile: [^<]*' '$TMP/middle-1.svg' '$TMP/middle-4.svg'"
# A title longer than the page is shortened with "…" and keeps its " — plan and profile".
# Failed before: it ran off the page's right edge.
"$TOOL" road plot --example --alignment 2 --width 400 --title "$(printf 'V\303\244g %.0s' $(seq 1 60))" -o "$TMP/long.svg" >/dev/null
expect_out "a long title fits the page" "$(printf 'V\303\244g V\303\244g \342\200\246 \342\200\224 plan and profile')" \
  sh -c "grep -o 'class=\"title\"[^<]*' '$TMP/long.svg' | sed 's/.*>//'"
expect_out "a long title's ink within the page" "0" sh -c "rsvg-convert -o '$TMP/long.png' '$TMP/long.svg' &&
  /usr/bin/python3 '$SRC/tests/cli/png_ink.py' --dark '$TMP/long.png' 372 0 400 80"
expect_out "help states the label rules and the pages" "2" sh -c "'$TOOL' road plot --help | grep -c -e '^Labels: no label is drawn over another' -e '^  --pages N'"

# A Japanese alignment name renders as glyphs, not as empty boxes: the SVG names a font list
# with CJK (fonts-noto-cjk, which `make deps` installs), the title's area of the PNG holds ink,
# and each character alone inks unlike the missing-glyph box (U+E000, a private-use character no
# font has: a character no installed font has inks as that box).
if command -v rsvg-convert >/dev/null 2>&1 && command -v fc-list >/dev/null 2>&1; then
  INK="/usr/bin/python3 $(dirname "$0")/png_ink.py"
  NAME='国道一号線'
  cat >"$TMP/jp.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Metric linearUnit="meter"/></Units>
<Alignments><Alignment name="$NAME" length="200" staStart="0">
<CoordGeom><Line><Start>1000 1000</Start><End>1000 1200</End></Line></CoordGeom>
</Alignment></Alignments></LandXML>
XML
  "$TOOL" road plot "$TMP/jp.xml" --width 800 -o "$TMP/jp.svg" >/dev/null
  expect_out "the SVG names a CJK font" "1" sh -c "grep -c 'Noto Sans CJK JP' '$TMP/jp.svg'"
  rsvg-convert -w 800 -o "$TMP/jp.png" "$TMP/jp.svg"
  expect_out "the title's name has ink" "yes" sh -c "[ \$($INK --dark '$TMP/jp.png' 30 28 130 54) -gt 300 ] && echo yes"
  glyph() { # CHARACTER -> its ink alone at 40 px
    printf '<svg xmlns="http://www.w3.org/2000/svg" width="60" height="60"><rect width="60" height="60" fill="#fff"/><text x="5" y="45" font-size="40" style="font-family:%s">%s</text></svg>' \
      "'DejaVu Sans','Noto Sans CJK JP',sans-serif" "$1" >"$TMP/c.svg"
    rsvg-convert -o "$TMP/c.png" "$TMP/c.svg" && $INK --digest "$TMP/c.png" | cut -d' ' -f2
  }
  box=$(glyph $'\xee\x80\x80')
  for c in 国 道 一 号 線; do
    ink=$(glyph "$c")
    expect_out "$c is a glyph, not the missing-glyph box" "yes" sh -c \
      "awk -v a=$ink -v b=$box 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d > 0.2 * b) }' && echo yes"
  done
else
  _fail "rsvg-convert or fc-list is missing (librsvg2-bin, fontconfig)"
fi

finish

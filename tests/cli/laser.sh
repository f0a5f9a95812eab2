#!/usr/bin/env bash
# fieldcore laser: frames, reply checks, height reductions and the stored transmitters.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-laser-XXXXXX")
trap 'rm -rf "$work"' EXIT

for sub in "" frame parse height transmitters; do
  expect_status "laser $sub --help" 0 "$TOOL" laser $sub --help
done
expect_out "overview lists the subcommands" "4" sh -c "'$TOOL' laser --help | grep -c -E '^  (frame|parse|height|transmitters) '"
expect_status "no subcommand" 2 "$TOOL" laser
expect_status "unknown subcommand" 2 "$TOOL" laser nothing

# frame: the exact bytes, CR LF included.
expect_out "transmitter frame bytes" "$(printf '%%NSP>T%%abc@CE\r\n' | od -An -c)" sh -c "'$TOOL' laser frame --transmitter abc | od -An -c"
expect_out "sensor frame bytes" "$(printf '%%NSP>R%%abc@CE\r\n' | od -An -c)" sh -c "'$TOOL' laser frame --sensor abc | od -An -c"
expect_out "visible" '%NSP>R%abc@CE\r\n' "$TOOL" laser frame --sensor --visible abc
expect_out "stdin skips blanks and comments" '%NSP>T%abc@CE\r\n
%NSP>T%def@5A\r\n' \
  sh -c "printf 'abc\n\n# note\n  def \n' | '$TOOL' laser frame --transmitter --visible"
expect_out "a text beginning with '#' on the command line" '%NSP>T%#x@4E\r\n' "$TOOL" laser frame --transmitter --visible '#x'
expect_out "a text beginning with '-' after --" '%NSP>T%-abc@7A\r\n' "$TOOL" laser frame --transmitter --visible -- -abc
expect_status "neither --transmitter nor --sensor" 2 "$TOOL" laser frame abc
expect_status "both" 2 "$TOOL" laser frame --transmitter --sensor abc
longest=$(head -c 1011 /dev/zero | tr '\0' x)
expect_out "1011 characters fit a 1024-byte buffer" "1023" sh -c "'$TOOL' laser frame --transmitter $longest | wc -c | tr -d ' '"
expect_status "1012 characters do not" 2 "$TOOL" laser frame --transmitter "x$longest"
out=$(printf 'x%s\nabc\n' "$longest" | "$TOOL" laser frame --transmitter --visible 2>"$work/err"); status=$?
[ "$status" -eq 2 ] && [ "$out" = '%NSP>T%abc@CE\r\n' ] && grep -q '^fieldcore laser frame: line 1: ' "$work/err" \
  && _pass || _fail "rejected stdin line: status $status, out [$out], err [$(cat "$work/err")]"

# parse: code and meaning, then what was read; a refused reply exits 1.
expect_out "transmitter data" "$(printf '0 accepted\nchannels 1 3\nrest xyz')" \
  "$TOOL" laser parse --kind transmitter-data '%NSP>T%P,2,4,xyz@FF'
expect_out "bad check: code and meaning" "4 check characters do not match" \
  sh -c "'$TOOL' laser parse --kind transmitter-data '%NSP>T%P,2,4,xyz@FE'; [ \$? -eq 1 ]"
expect_status "bad check exits 1" 1 "$TOOL" laser parse --kind transmitter-data '%NSP>T%P,2,4,xyz@FE'
expect_out "channel digit out of range" "1 not a reply of the expected kind" \
  sh -c "'$TOOL' laser parse --kind transmitter-data '%NSP>T%P,2,5,xyz@EF'; [ \$? -eq 1 ]"
expect_out "ER first" "3 the reply begins with ER" \
  sh -c "'$TOOL' laser parse --kind transmitter-data 'ER%NSP>T%P,2,4,xyz@FF'; [ \$? -eq 1 ]"
expect_out "device error" "2 the device reports an error" \
  sh -c "'$TOOL' laser parse --kind transmitter-data '%NSP>T%e,X Tilt Offset Over'; [ \$? -eq 1 ]"
expect_out "unchecked reply" "$(printf '0 accepted\nchannels 0 3\nrest ')" "$TOOL" laser parse --kind transmitter-data '%NSP>T%Z,1,4,'
expect_out "transmitter version" "$(printf '0 accepted\nversion 1.23')" "$TOOL" laser parse --kind transmitter-version '%NSP>T%P,1.23,xyz@B3'
expect_out "sensor version" "$(printf '0 accepted\nversion 2.0')" "$TOOL" laser parse --kind sensor-version '%NSP>R%P,2.0@0E'
expect_out "sensor data" "0 accepted" "$TOOL" laser parse --kind sensor-data '%NSP>R%x,abc@F9'
expect_out "stdin replies with CR LF" "$(printf '0 accepted\nchannels 1 3\nrest xyz\n4 check characters do not match')" \
  sh -c "printf '%%NSP>T%%P,2,4,xyz@FF\r\n%%NSP>T%%P,2,4,xyz@FE\r\n' | '$TOOL' laser parse --kind transmitter-data; [ \$? -eq 1 ]"
expect_status "unknown kind" 2 "$TOOL" laser parse --kind data x
expect_status "missing kind" 2 "$TOOL" laser parse x

# height
expect_out "slant 0.083" "0.1500" "$TOOL" laser height laser --slant 0.083
expect_out "below the rim radius" "0.1500" "$TOOL" laser height laser --slant 0.05
expect_out "vertical laser" "1.3500" "$TOOL" laser height laser 1.2
expect_out "sensor" "1.4300" "$TOOL" laser height sensor 1.5
expect_out "mark" "1.500000" "$TOOL" laser height mark 1.65 --decimals 6
expect_out "offset" "1.5000" "$TOOL" laser height offset 1.2 0.3
expect_out "offset slant keeps the sign of H" "-0.8072" "$TOOL" laser height offset --slant -- -1.2 2
expect_out "negative height" "-0.8465" "$TOOL" laser height laser --slant -1
expect_status "decimals out of range" 2 "$TOOL" laser height sensor 1 --decimals 3
expect_status "slant for sensor" 2 "$TOOL" laser height sensor --slant 1
expect_status "offset with one value" 2 "$TOOL" laser height offset 1
out=$(printf '1.5\nabc\n\n# c\n1.6\n' | "$TOOL" laser height sensor 2>"$work/err"); status=$?
[ "$status" -eq 2 ] && [ "$out" = "$(printf '1.4300\n1.5300')" ] && grep -q '^fieldcore laser height: line 2: ' "$work/err" \
  && _pass || _fail "height from stdin: status $status, out [$out], err [$(cat "$work/err")]"
expect_status "nan is not a height" 2 "$TOOL" laser height mark nan
# Beyond 1e9 m: a slant 1e200 printed inf, a sensor 1e300 a 300-digit height (exit 0).
expect_fail "slant height 1e200" 2 "out of range" "$TOOL" laser height laser --slant 1e200
expect_fail "offset 1e300" 2 "line 1: out of range" sh -c "echo '1 1e300' | '$TOOL' laser height offset"

# transmitters
root="$work/device"
expect_status "no file" 1 "$TOOL" laser transmitters --root "$root"
expect_err "no file is named" "no loadable transmitter file" "$TOOL" laser transmitters --root "$root"
[ -d "$root/Program Files/fieldcore/FileSettings" ] && _pass || _fail "the folder is created"
blocks='DataBlock1=a\nDataBlock2=b\nDataBlock3=c\nDataBlock4=d\n'
printf "[VERSION]\nversion=0.40\n[CHANNEL1]\nSN=40123\n${blocks}Height=1.5V\nName=North\nOffset=0.25\n[CHANNEL2]\nSN=5\n${blocks}Height=0.9S\nName=Slant\n[CHANNEL3]\nSN=7\n${blocks}Height=Fixed\nName=Mount\n[CHANNEL4]\nSN=8\n${blocks}Height=bad\n" \
  > "$root/Program Files/fieldcore/FileSettings/Qadra2Data.ini"
expect_out "listed after the earlier file is renamed" "$(printf 'channel 1  serial 40123  name "North"  height 1.5000 V  offset 0.2500\nchannel 2  serial 5  name "Slant"  height 0.9000 S  offset 0.0000\nchannel 3  serial 7  name "Mount"  height 2.0730 Fixed  offset 0.0000\nchannel 4  serial 8  no set-up')" \
  "$TOOL" laser transmitters --root "$root"
[ -f "$root/Program Files/fieldcore/FileSettings/BeamGridData.ini" ] && [ ! -e "$root/Program Files/fieldcore/FileSettings/Qadra2Data.ini" ] \
  && _pass || _fail "Qadra2Data.ini renamed"
expect_out "FIELDCORE_ROOT as the default root" "channel 1  serial 40123  name \"North\"  height 1.500000 V  offset 0.250000" \
  sh -c "FIELDCORE_ROOT='$root' '$TOOL' laser transmitters --decimals 6 | head -1"
sed -i 's/version=0.40/version=0.5/' "$root/Program Files/fieldcore/FileSettings/BeamGridData.ini"
expect_status "unknown version" 1 "$TOOL" laser transmitters --root "$root"
expect_status "empty root" 2 "$TOOL" laser transmitters --root ""
expect_status "stray argument" 2 "$TOOL" laser transmitters x

finish

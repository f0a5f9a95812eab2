#!/usr/bin/env bash
# fieldcore geod: direct and inverse records, GeodSolve's precision rule, no-convergence lines,
# bad lines, CSV rows and exit codes.
TOOL=$1
source "$(dirname "$0")/lib.sh"

expect_out "direct" "40.6338006753 -74.1641722387 45.5408067500" sh -c "echo '40 -75 45 100000' | '$TOOL' geod direct"
# GeodSolve -p 8: 40.6338006752835 -74.1641722386831 45.5408067500167; the last digits lie below
# the method's accuracy (1e-11 deg is 2e-7 m here), so they are not compared.
expect_out "direct decimals 8: angles with 13 decimals" "40.6338006752835 13 13 13" \
  sh -c "echo '40 -75 45 100000' | '$TOOL' geod direct --decimals 8 | awk '{n = \$0; print \$1, length(\$1) - index(\$1, \".\"), length(\$2) - index(\$2, \".\"), length(\$3) - index(\$3, \".\")}'"
expect_out "inverse" "230.40330308 234.06527441 713857.6651" \
  sh -c "echo '-33.8688 151.2093 -37.8136 144.9631' | '$TOOL' geod inverse | awk '{printf \"%.8f %.8f %.4f\", \$1, \$2, \$3}'"
expect_out "inverse distance decimals" "713857.66512" \
  sh -c "echo '-33.8688,151.2093;-37.8136 144.9631' | '$TOOL' geod inverse | cut -d' ' -f3"
expect_out "inverse in feet" "2342052.70708" \
  sh -c "echo '-33.8688 151.2093 -37.8136 144.9631' | '$TOOL' geod inverse --units ift | cut -d' ' -f3"
expect_out "antipodal over the pole" "20003931.45862" sh -c "echo '0 0 0 180' | '$TOOL' geod inverse | cut -d' ' -f3"
expect_out "pole to pole" "20003931.45862" sh -c "echo '90 0 -90 0' | '$TOOL' geod inverse | cut -d' ' -f3"
expect_out "direct then inverse" "100000.00000" \
  sh -c "echo '40 -75 45 100000' | '$TOOL' geod direct | awk '{print 40, -75, \$1, \$2}' | '$TOOL' geod inverse | cut -d' ' -f3"
expect_out "GRS 80 ellipsoid" "111319.49079" sh -c "echo '0 0 0 1' | '$TOOL' geod inverse --ellipsoid 6378137 298.257222101 | cut -d' ' -f3"

expect_status "no convergence exits 1" 1 sh -c "echo '80 0 90 1000000' | '$TOOL' geod direct"
expect_err "no convergence names the line and misfit" "line 1: no convergence (misfit 2290" \
  sh -c "echo '80 0 90 1000000' | '$TOOL' geod direct"
expect_out "no convergence prints nothing, the rest runs" "40.6338006753 -74.1641722387 45.5408067500" \
  sh -c "printf '80 0 90 1000000\n40 -75 45 100000\n' | '$TOOL' geod direct; true"
expect_status "bad line exits 2" 2 sh -c "printf '40 -75 45 100000\nnorth 1 2 3\n' | '$TOOL' geod direct"
expect_err "bad line named" "fieldcore geod direct: line 2: lat1 'north' is not a number" \
  sh -c "printf '40 -75 45 100000\nnorth 1 2 3\n' | '$TOOL' geod direct"
expect_err "latitude beyond 90" "line 1: lat2 '-91' is beyond 90 degrees" sh -c "echo '0 0 -91 0' | '$TOOL' geod inverse"
expect_err "three values" "line 1: expected 4 values, got 3" sh -c "echo '0 0 1' | '$TOOL' geod inverse"
expect_status "bad beats no convergence" 2 sh -c "printf '80 0 90 1000000\nx 1 2 3\n' | '$TOOL' geod direct"
expect_out "csv keeps rows aligned" "$(printf '%s\n' 'lat2,lon2,status' \
  '40.63380067528351,-74.16417223868558,ok' ",,lat1 'x' is not a number" \
  ',,no convergence (misfit 2290.6268 m)')" \
  sh -c "printf '40 -75 45 100000\nx 1 2 3\n80 0 90 1000000\n' | '$TOOL' geod direct --csv | cut -d, -f1,2,4; true"
expect_status "bad ellipsoid" 2 "$TOOL" geod inverse --ellipsoid 6378137 0
for a in 1e300 1e-200 0.5; do   # the first two printed a distance of nan, exit 0
  expect_status "semi-major axis $a refused" 2 "$TOOL" geod inverse --ellipsoid $a 298
done
expect_status "unknown subcommand" 2 "$TOOL" geod sideways
for sub in direct inverse; do
  expect_status "$sub --help" 0 "$TOOL" geod $sub --help
  expect_out "$sub --help layout" "4" sh -c "'$TOOL' geod $sub --help | grep -c -E '^(usage:|Options:|Examples:|Exit status:)'"
  expect_out "$sub --help states both domains and the default" "3" \
    sh -c "'$TOOL' geod $sub --help | grep -c -E '^- direct:|^- inverse:|default 5'"
done

finish

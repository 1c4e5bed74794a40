#!/usr/bin/env bash
# Times the installation of the full demo product under Wine and watches it
# from outside: the size of the joined archive (join stage), the size of
# the main program file while the decoder writes the whole stream into it
# (unpack stage), and the memory of the setup process.
#   demo/measure/measure_install.sh DIST PEEK_COST_EXE
# DIST is the folder with mwpack and win32/ (setup.exe, demo/, test/);
# PEEK_COST_EXE the built peek_cost.exe. Writes out/measure/timeline.csv,
# out/measure/figures.txt and out/measure/unpack_progress.png.
set -u
MW_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DIST=$(cd "${1:?DIST}" && pwd)
PEEK=$(realpath "${2:?PEEK_COST_EXE}")
source "$MW_ROOT/scripts/wine-lib.sh"
OUT=$MW_ROOT/out/measure
rm -rf "$OUT"
mkdir -p "$OUT"
trap 'kill "$poller" 2>/dev/null; mw_cleanup' EXIT

python3 "$MW_ROOT/demo/make_product.py" "$DIST/win32/demo" "$OUT/product" >/dev/null || exit 1
mapfile -t NAMES < <(grep -v '^#' "$MW_ROOT/demo/product.list" | grep .)
FILES=()
for name in "${NAMES[@]:1}"; do FILES+=("$OUT/product/$name"); done
# Both parts beside setup.exe: no disk prompt inside the timing.
"$DIST/mwpack" build --stub "$DIST/win32/setup.exe" --main "$OUT/product/${NAMES[0]}" --disks 2 \
  --disk-size 1457664 --flat --out "$OUT/dist" "${FILES[@]}" | tee "$OUT/pack.txt" || exit 1

mw_fresh_prefix winxp || exit 1
mw_xvfb_start 640x480x24 || exit 1
C=$(mw_drive_c)
mkdir -p "$C/meas"
cp "$OUT"/dist/* "$DIST/win32/test/mwdriver.exe" "$PEEK" "$C/meas/"
cat >"$C/meas/script.txt" <<'EOF'
timeout 60
run "C:\meas\setup.exe"
wait "Destination Directory"
click 1
wait "License Agreement"
click 1
timeout 900
wait "Program Group"
timeout 60
click 1
wait "Windows Interface"
click 2
wait "Marwindle!"
answer no
exit 0
EOF

D="$C/Program Files/MARWINDLE"
(
  t0=$(date +%s.%N)
  echo "seconds,joined_bytes,main_file_bytes,setup_rss_kb,setup_hwm_kb"
  while :; do
    now=$(date +%s.%N)
    tm=$(stat -c %s "$D/Marwindle._TM" 2>/dev/null || echo -1)
    exe=$(stat -c %s "$D/Marwindl.Exe" 2>/dev/null || echo -1)
    rss=0 hwm=0
    [ -n "${pid-}" ] && [ -d "/proc/$pid" ] || pid=$(pgrep -f 'meas.setup\.exe' | head -1)
    if [ -n "$pid" ]; then
      rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
      hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
    fi
    echo "$(echo "$now - $t0" | bc),$tm,$exe,${rss:-0},${hwm:-0}"
    sleep 0.02
  done
) >"$OUT/timeline.csv" &
poller=$!

start=$SECONDS
mw_wine 1200 'C:\meas\mwdriver.exe' 'C:\meas\script.txt' >"$OUT/driver.log" 2>&1 || {
  cat "$OUT/driver.log"
  echo "measure: the scripted user failed" >&2
  exit 1
}
total=$((SECONDS - start))
kill "$poller"
wait "$poller" 2>/dev/null
poller=""
peek=$(mw_wine 120 'C:\meas\peek_cost.exe' 20000 | tr -d '\r')
hostinfo="$(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), $(wine --version)"

compressed=$(grep -o 'archive: [0-9]*' "$OUT/pack.txt" | grep -o '[0-9]*')
unpacked=$(grep -o 'product: [0-9]*' "$OUT/pack.txt" | grep -o '[0-9]*')
main_size=$(stat -c %s "$OUT/product/${NAMES[0]}")

awk -F, -v compressed="$compressed" -v unpacked="$unpacked" -v main_size="$main_size" \
  -v total="$total" -v peek="$peek" -v host="$hostinfo" '
  NR == 1 { next }
  $2 >= 0 && join_start == "" { join_start = $1 }
  $3 >= 0 && unpack_start == "" { unpack_start = $1 }
  $3 >= unpacked && decoded == "" { decoded = $1 }
  unpack_start != "" && $3 >= 0 && $3 == main_size && split_end == "" && decoded != "" { split_end = $1 }
  $5 > hwm { hwm = $5 }
  END {
    join = unpack_start - join_start
    decode = decoded - unpack_start
    unpack = split_end - unpack_start
    printf "host: %s\n", host
    printf "installation, first dialog to the last question answered: %d s\n", total
    printf "payload: %d bytes decoded, %d bytes compressed\n", unpacked, compressed
    printf "join stage (both parts into the joined archive): %.1f s\n", join
    printf "unpack stage: %.1f s, of which decoding %.1f s and cutting out the files %.1f s\n", unpack, decode, unpack - decode
    printf "unpack time per compressed byte (one message pump each): %.1f us\n", unpack * 1e6 / compressed
    printf "an empty message pump in a program of its own (peek_cost): %s\n", peek
    printf "decoding speed under Wine: %.0f KB/s of output\n", unpacked / 1024 / decode
    printf "peak resident memory of the setup process (VmHWM): %d KB\n", hwm
  }' "$OUT/timeline.csv" | tee "$OUT/figures.txt"

# The decoder's output over time, as a picture (ImageMagick's drawing
# primitives, so no SVG renderer is needed).
awk -F, -v unpacked="$unpacked" '
  NR == 1 { next }
  $3 >= 0 && t0 == "" { t0 = $1 }
  t0 != "" && $3 >= 0 { t[n] = $1 - t0; b[n] = $3; n++ }
  END {
    W = 640; H = 400; L = 70; R = 20; T = 30; B = 50
    tmax = t[n - 1]; if (tmax <= 0) tmax = 1
    print "fill none stroke #dddddd"
    for (k = 1; k <= 4; k++) { y = H - B - k * (H - T - B) / 4; printf "line %d,%d %d,%d\n", L, y, W - R, y }
    for (s = 10; s < tmax; s += 10) { x = L + s / tmax * (W - L - R); printf "line %d,%d %d,%d\n", x, T, x, H - B }
    print "stroke black"
    printf "line %d,%d %d,%d\nline %d,%d %d,%d\n", L, H - B, W - R, H - B, L, T, L, H - B
    print "stroke red stroke-width 2"
    printf "polyline"
    for (i = 0; i < n; i++) printf " %.1f,%.1f", L + t[i] / tmax * (W - L - R), H - B - b[i] / unpacked * (H - T - B)
    print ""
    print "stroke none fill black font-size 13"
    printf "text %d,20 \"Unpack stage under Wine: bytes decoded into the main program file\"\n", L
    printf "text %d,%d \"seconds since the unpack began (grid every 10 s, %.0f s in all)\"\n", L + 100, H - 15, tmax
    for (k = 0; k <= 4; k++) printf "text 5,%d \"%.1f MB\"\n", H - B - k * (H - T - B) / 4 + 4, unpacked * k / 4 / 1048576
  }' "$OUT/timeline.csv" >"$OUT/unpack_progress.mvg"
convert -size 640x400 xc:white -font "$(fc-match -f "%{file}" sans 2>/dev/null)" -draw "$(cat "$OUT/unpack_progress.mvg")" "$OUT/unpack_progress.png" &&
  echo "measure: plot in $OUT/unpack_progress.png"

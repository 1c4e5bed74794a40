# End-to-end scenario library: source it from a scenario script.
#
#   source "$MW_ROOT/tests/e2e/lib.sh"
#   e2e_begin winxp
#   ... pack, drive, check ...
#   e2e_pass
#
# Every check that fails ends the scenario at once with a message on stderr
# and exit code 1; e2e_skip ends it with 77, which ctest reports as skipped.
# README.md next to this file describes every function.

set -u

MW_ROOT=${MW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
MW_DIST=${MW_DIST:-$MW_ROOT/dist}
MW_SETUP=${MW_SETUP:-$MW_DIST/win32/setup.exe}
MW_TEST_BIN=${MW_TEST_BIN:-$MW_DIST/win32/test}
MW_MWPACK=${MW_MWPACK:-$MW_DIST/mwpack}
E2E_NAME=${MW_SCENARIO:-$(basename "$0" .sh)}
E2E_WINVER=""
E2E_C=""
E2E_OUT=""
_e2e_scripts=0

# shellcheck source=../../scripts/wine-lib.sh
source "$MW_ROOT/scripts/wine-lib.sh"

e2e_fail() {
  echo "FAIL: $E2E_NAME: $*" >&2
  exit 1
}

e2e_skip() {
  echo "SKIP: $E2E_NAME: $*"
  exit 77
}

e2e_pass() {
  echo "PASS: $E2E_NAME"
  exit 0
}

e2e_note() { echo "--- $*"; }

_e2e_cleanup() {
  local rc=$?
  if [ -n "${MW_KEEP-}" ] && [ -n "${WINEPREFIX-}" ]; then
    echo "kept the prefix: $WINEPREFIX"
  fi
  mw_cleanup
  return $rc
}

# e2e_begin winxp|win98: a fresh prefix of that Windows family, Xvfb at
# 640x480x24 (MW_SCREEN to change it), the driver and the fixture programs
# copied to C:\e2e. Clean-up runs when the scenario ends, however it ends.
e2e_begin() {
  E2E_WINVER=${1:-winxp}
  case "$E2E_WINVER" in winxp | win98) ;; *) e2e_fail "e2e_begin takes winxp or win98, not $E2E_WINVER" ;; esac
  trap _e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  echo "=== $E2E_NAME on $E2E_WINVER"
  [ -f "$MW_SETUP" ] || e2e_fail "no setup program at $MW_SETUP: build first"
  [ -f "$MW_TEST_BIN/mwdriver.exe" ] || e2e_fail "no scripted-user driver at $MW_TEST_BIN/mwdriver.exe: build first"
  mw_fresh_prefix "$E2E_WINVER" || e2e_fail "could not make a Wine prefix"
  mw_xvfb_start "${MW_SCREEN:-640x480x24}" || e2e_fail "could not start Xvfb"
  E2E_C=$(mw_drive_c)
  E2E_OUT=$WINEPREFIX/e2e-driver.log
  mkdir -p "$E2E_C/e2e"
  cp "$MW_TEST_BIN"/*.exe "$E2E_C/e2e/"
}

# e2e_unix 'C:\Some\Path': the Unix path of a C: path in the prefix. Letter
# case is matched against what exists, as Windows would.
e2e_unix() {
  local win=$1
  case "$win" in
    [cC]:*) ;;
    /*) echo "$win"; return 0 ;;
    *) e2e_fail "not a C: path: $win" ;;
  esac
  local path rest comp name found
  path=$(mw_drive_c)
  rest=${win:2}
  rest=${rest//\\//}
  local IFS=/
  for comp in $rest; do
    [ -n "$comp" ] || continue
    found=""
    if [ -e "$path/$comp" ]; then
      found=$comp
    elif [ -d "$path" ]; then
      while IFS= read -r name; do
        if [ "${name,,}" = "${comp,,}" ]; then found=$name; break; fi
      done < <(ls -A "$path" 2>/dev/null)
    fi
    path=$path/${found:-$comp}
  done
  echo "$path"
}

# e2e_file 'C:\path' SIZE [WORD]: a file of SIZE bytes of text that differs
# with WORD, made (with its folders) in the prefix.
e2e_file() {
  local target size word
  target=$(e2e_unix "$1")
  size=$2
  word=${3:-$(basename "$target")}
  mkdir -p "$(dirname "$target")"
  yes "$word: line of the payload, $size bytes in all" 2>/dev/null | head -c "$size" >"$target"
}

# e2e_pack 'C:\Out' --main FILE [--disks N] [--flat] FILE...: a distribution
# of this tree's setup.exe made by the packer into that folder (disk1\setup.exe,
# disk1\Marwindl.001, disk2\Marwindl.002, ...). Files may be C: or Unix paths.
# Skips the scenario when the packer has not been built.
e2e_pack() {
  local out arg
  out=$(e2e_unix "$1")
  shift
  [ -x "$MW_MWPACK" ] || e2e_skip "no packer at $MW_MWPACK"
  local args=()
  for arg in "$@"; do
    case "$arg" in
      [cC]:*) args+=("$(e2e_unix "$arg")") ;;
      *) args+=("$arg") ;;
    esac
  done
  mkdir -p "$out"
  "$MW_MWPACK" build --stub "$MW_SETUP" --out "$out" "${args[@]}" || e2e_fail "mwpack build failed"
}

# e2e_run_driver SECONDS < script: plays the script with the driver under a
# timeout and waits until Wine has written everything out. Returns the
# driver's exit code; its output is also in $E2E_OUT.
e2e_run_driver() {
  local seconds=${1:-120}
  _e2e_scripts=$((_e2e_scripts + 1))
  local name="script$_e2e_scripts.txt"
  cat >"$E2E_C/e2e/$name"
  echo "--- scripted user ($name, at most $seconds s)"
  mw_wine "$seconds" 'C:\e2e\mwdriver.exe' "C:\\e2e\\$name" 2>&1 | tr -d '\r' | tee "$E2E_OUT"
  local rc=${PIPESTATUS[0]}
  [ "$rc" -eq 124 ] && echo "the scripted user was stopped after $seconds s"
  e2e_settle
  return "$rc"
}

# e2e_drive SECONDS < script: the same, and the scenario fails with the
# driver.
e2e_drive() {
  local rc=0
  e2e_run_driver "$@" || rc=$?
  [ "$rc" -eq 0 ] || e2e_fail "the scripted user failed (exit code $rc); see its report above"
}

# Waits until every Wine process of the prefix has ended and the registry is
# saved to the prefix's *.reg files.
e2e_settle() {
  timeout -k 5 60 wineserver -w 2>/dev/null || true
}

# e2e_reg_get 'HKLM\Key' NAME: prints the value's data as reg.exe shows it;
# returns 1 when the key or value is missing. NAME "" is the default value.
e2e_reg_get() {
  local key=$1 name=$2 out
  if [ -z "$name" ]; then
    out=$(mw_wine 60 reg query "$key" /ve 2>/dev/null | tr -d '\r') || return 1
    name="(Default)"
  else
    out=$(mw_wine 60 reg query "$key" /v "$name" 2>/dev/null | tr -d '\r') || return 1
  fi
  awk -v name="$name" '
    index($0, "    " name "    REG_") == 1 {
      rest = substr($0, length(name) + 9)
      sub(/^[A-Z_]+    /, "", rest)
      sub(/^[A-Z_]+$/, "", rest)
      print rest; found = 1; exit
    }
    END { exit found ? 0 : 1 }' <<<"$out"
}

e2e_assert_file() {
  [ -f "$(e2e_unix "$1")" ] || e2e_fail "${2:-expected the file $1 to exist}"
}

e2e_assert_no_file() {
  [ ! -e "$(e2e_unix "$1")" ] || e2e_fail "${2:-expected no file $1}"
}

# e2e_assert_same A B: two files (C: or Unix paths) with the same bytes.
e2e_assert_same() {
  local a b
  a=$(e2e_unix "$1")
  b=$(e2e_unix "$2")
  [ -f "$a" ] || e2e_fail "expected the file $1 to exist"
  [ -f "$b" ] || e2e_fail "expected the file $2 to exist"
  cmp -s "$a" "$b" || e2e_fail "$1 differs from $2 ($(stat -c %s "$a") and $(stat -c %s "$b") bytes)"
}

# e2e_assert_line FILE LINE: the text file has a line that is exactly LINE.
e2e_assert_line() {
  local file
  file=$(e2e_unix "$1")
  [ -f "$file" ] || e2e_fail "expected the file $1 to exist"
  tr -d '\r' <"$file" | grep -qxF -- "$2" || {
    echo "$1 holds:" >&2
    sed 's/^/    /' "$file" >&2
    e2e_fail "$1 has no line \"$2\""
  }
}

# e2e_assert_no_line FILE TEXT: no line of the text file contains TEXT.
e2e_assert_no_line() {
  local file
  file=$(e2e_unix "$1")
  [ -f "$file" ] || return 0
  if tr -d '\r' <"$file" | grep -qF -- "$2"; then
    e2e_fail "$1 has a line with \"$2\""
  fi
}

# e2e_assert_lines FILE < expected: the file is exactly these lines, every
# one ended by CR LF.
e2e_assert_lines() {
  local file expected actual
  file=$(e2e_unix "$1")
  [ -f "$file" ] || e2e_fail "expected the file $1 to exist"
  expected=$(cat)
  actual=$(tr -d '\r' <"$file")
  if [ "$actual" != "$expected" ]; then
    echo "expected $1 to be:" >&2
    sed 's/^/    /' <<<"$expected" >&2
    echo "it is:" >&2
    sed 's/^/    /' <<<"$actual" >&2
    e2e_fail "$1 is not as expected"
  fi
  local lines crlf
  lines=$(wc -l <"$file")
  crlf=$(grep -c $'\r$' "$file" || true)
  [ "$lines" -eq "$crlf" ] && [ "$(tail -c 1 "$file" | od -An -c | tr -d ' ')" = '\n' ] ||
    e2e_fail "$1: not every line ends with CR LF"
}

# e2e_ini_get FILE SECTION KEY: prints the value (section and key compare
# without regard to case, as Windows does); returns 1 when there is none.
e2e_ini_get() {
  local file
  file=$(e2e_unix "$1")
  [ -f "$file" ] || return 1
  tr -d '\r' <"$file" | awk -v section="$2" -v key="$3" '
    /^[ \t]*\[/ { s = $0; gsub(/^[ \t]*\[|\][ \t]*$/, "", s); inside = (tolower(s) == tolower(section)); next }
    inside {
      eq = index($0, "="); if (eq == 0) next
      k = substr($0, 1, eq - 1); gsub(/^[ \t]+|[ \t]+$/, "", k)
      if (tolower(k) == tolower(key)) { print substr($0, eq + 1); found = 1; exit }
    }
    END { exit found ? 0 : 1 }'
}

e2e_assert_ini() {
  local got
  got=$(e2e_ini_get "$1" "$2" "$3") || e2e_fail "$1 has no [$2] $3="
  [ "$got" = "$4" ] || e2e_fail "$1 [$2] $3 is \"$got\", expected \"$4\""
}

e2e_assert_reg() {
  local got
  got=$(e2e_reg_get "$1" "$2") || e2e_fail "the registry has no value $2 under $1"
  [ "$got" = "$3" ] || e2e_fail "the registry value $1\\$2 is \"$got\", expected \"$3\""
}

e2e_assert_no_reg() {
  local got
  if got=$(e2e_reg_get "$1" "$2"); then
    e2e_fail "expected no registry value $2 under $1, found \"$got\""
  fi
}

# e2e_assert_output TEXT: the last driver run printed a line containing TEXT.
e2e_assert_output() {
  grep -qF -- "$1" "$E2E_OUT" || e2e_fail "the scripted user did not report \"$1\""
}

# The next start of Windows: wineboot -r carries out WININIT.INI's [Rename]
# lines and the delayed moves, then Wine is left to settle.
e2e_reboot() {
  e2e_note "restarting Windows"
  mw_wine 120 wineboot -r >/dev/null 2>&1 || e2e_fail "wineboot -r failed"
  e2e_settle
}

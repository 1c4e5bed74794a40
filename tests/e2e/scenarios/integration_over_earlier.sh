#!/usr/bin/env bash
# Installing over an earlier installation: the new main program is written
# under its ".$$$" name, so the restart question comes although no option
# was chosen. No to it, then Yes to the run question starts the earlier
# program under Marwindl.Exe; at the next start of Windows the new one is
# in place.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
NEW_MAIN=$MW_DIST/win32/demo/Marwindl.Exe
[ -f "$NEW_MAIN" ] || e2e_skip "no demo main program at $NEW_MAIN: build first"
e2e_begin winxp
D=$INTEG_DEST

e2e_note "the earlier installation"
integ_payload
{
  integ_to_replace
  cat <<SCRIPT
click 2
msgbox "Marwindle!" "$INTEG_SUCCESS_RUN"
answer no
exit 0
SCRIPT
} | e2e_drive 120
e2e_assert_same "$MW_TEST_BIN/started.exe" "$D\\Marwindl.Exe"

# A new session: the start of Windows after the earlier installation.
e2e_note "the new installation"
integ_payload "$NEW_MAIN" v2
{
  integ_to_replace
  cat <<SCRIPT
click 1
msgbox "Marwindle!" "$INTEG_RESTART"
answer no
msgbox "Marwindle!" "$INTEG_RUN"
answer yes
exit 0
SCRIPT
} | e2e_drive 120

# The earlier program ran, under its own name; the new one waits.
e2e_assert_line "$D\\started.txt" "started "
e2e_assert_no_file "$D\\Marwindl.log"
e2e_assert_same "$MW_TEST_BIN/started.exe" "$D\\Marwindl.Exe"
e2e_assert_same "$NEW_MAIN" "$D\\Marwindl.\$\$\$"

e2e_reboot
e2e_assert_same "$NEW_MAIN" "$D\\Marwindl.Exe"
e2e_assert_no_file "$D\\Marwindl.\$\$\$"
e2e_pass

#!/usr/bin/env bash
# A second installation with the Task Manager option before Windows has
# restarted (both in one run of the scripted user, as a new Wine session is
# a restart): the saved system Task Manager is kept, the waiting
# registration copy and the installed driver are not replaced, and the
# registration line is written again.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin winxp
D=$INTEG_DEST
W='C:\windows'

e2e_file "$W\\TaskMan.Exe" 900 "system task manager"
cp "$(e2e_unix "$W\\TaskMan.Exe")" "$E2E_C/system-taskman.exe"
integ_payload "" v1 'C:\dist1'
FIRST=$INTEG_PAYLOAD
integ_payload "" v2 'C:\dist2'
SECOND=$INTEG_PAYLOAD

with_task_manager() {
  integ_to_replace "$1"
  cat <<SCRIPT
check 103
click 1
msgbox "Marwindle!" "$INTEG_RESTART"
answer no
msgbox "Marwindle!" "$INTEG_RUN"
answer no
exit 0
SCRIPT
}
{
  with_task_manager 'C:\dist1\setup.exe'
  with_task_manager 'C:\dist2\setup.exe'
} | e2e_drive 180

e2e_assert_same "$E2E_C/system-taskman.exe" "$W\\TaskMang.Exe"
e2e_assert_same "$SECOND\\TaskMan.Exe" "$W\\TaskMan.Exe"
e2e_assert_same "$FIRST\\Marwindl.Reg" "$D\\Marwindl1.Reg"
e2e_assert_same "$SECOND\\Marwindl.Reg" "$D\\Marwindl.Reg"
e2e_assert_same "$FIRST\\CTRLMW.SYS" "$W\\system32\\drivers\\CTRLMW.SYS"

# This run's line replaces the first run's for the same file; its source is
# a short path.
lines=$(tr -d '\r' <"$(e2e_unix "$W\\wininit.ini")" | grep -iF "$W\\Marwindl.Reg=" || true)
[ "$(grep -c . <<<"$lines")" -eq 1 ] || e2e_fail "expected one Marwindl.Reg line in WININIT.INI, found: $lines"
case "${lines#*=}" in *' '* | '') e2e_fail "the line's source is not a short path: $lines" ;; esac

# At the next start the waiting copy from the first run becomes the
# Windows folder's Marwindl.Reg.
e2e_reboot
e2e_assert_same "$FIRST\\Marwindl.Reg" "$W\\Marwindl.Reg"
e2e_assert_no_file "$D\\Marwindl1.Reg"
e2e_assert_same "$E2E_C/system-taskman.exe" "$W\\TaskMang.Exe"
e2e_pass

#!/usr/bin/env bash
# Both options on the NT family: the Winlogon shell names the installed
# program by its long path, the system's Task Manager is kept as
# TaskMang.Exe and ours takes its place, the registration file waits in
# WININIT.INI, and Yes to the restart question asks Windows to restart,
# which carries out the pending renames.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin winxp

integ_payload
e2e_file 'C:\windows\TaskMan.Exe' 900 "system task manager"
cp "$(e2e_unix 'C:\windows\TaskMan.Exe')" "$E2E_C/system-taskman.exe"

{
  integ_to_replace
  cat <<SCRIPT
check 103
check 104
click 1
msgbox "Marwindle!" "$INTEG_RESTART"
expect-window-count 1
answer yes
exit 0
SCRIPT
} | e2e_drive 120
e2e_assert_no_line "$E2E_OUT" "$INTEG_RUN"

D=$INTEG_DEST
P=$INTEG_PAYLOAD
e2e_assert_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon' Shell "$D\\Marwindl.Exe"
e2e_assert_same "$E2E_C/system-taskman.exe" 'C:\windows\TaskMang.Exe'
e2e_assert_same "$P\\TaskMan.Exe" 'C:\windows\TaskMan.Exe'

# Wine's restart request carries out WININIT.INI at once, as a restart
# would: the registration file is in the Windows folder already.
e2e_assert_same "$P\\Marwindl.Reg" 'C:\windows\Marwindl.Reg'
e2e_assert_no_file "$D\\Marwindl1.Reg"
e2e_assert_no_line 'C:\windows\wininit.ini' 'Marwindl'
e2e_reboot
e2e_assert_same "$P\\Marwindl.Reg" 'C:\windows\Marwindl.Reg'
e2e_pass

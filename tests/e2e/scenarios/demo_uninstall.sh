#!/usr/bin/env bash
# The demo product's uninstaller takes back everything an installation with
# both options put in place: files (help files included), the shortcut, the
# uninstall entry, the Winlogon shell value, the driver, and the Task
# Manager replacement, with the system's Task Manager restored. What it
# cannot delete while it runs (itself, its folder) goes at the next start.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
PROGRAMS=$MW_DIST/win32/demo
[ -f "$PROGRAMS/UnInstal.Exe" ] || e2e_skip "no demo programs in $PROGRAMS: build first"
e2e_begin winxp
D=$INTEG_DEST
W='C:\windows'
WINLOGON='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon'

P='C:\payload'
mkdir -p "$(e2e_unix "$P")"
cp "$MW_TEST_BIN/started.exe" "$(e2e_unix "$P")/Marwindl.Exe"
cp "$PROGRAMS/UnInstal.Exe" "$PROGRAMS/TaskMan.Exe" "$(e2e_unix "$P")/"
e2e_file "$P\\Mwtools.hlp" 800 help
e2e_file "$P\\CTRLMW.SYS" 1500 driver
e2e_file "$P\\Marwindl.Reg" 600 registration
e2e_pack 'C:\dist' --main "$P\\Marwindl.Exe" --flat \
  "$P\\UnInstal.Exe" "$P\\TaskMan.Exe" "$P\\Mwtools.hlp" "$P\\CTRLMW.SYS" "$P\\Marwindl.Reg"
e2e_file "$W\\TaskMan.Exe" 900 "system task manager"
cp "$(e2e_unix "$W\\TaskMan.Exe")" "$E2E_C/system-taskman.exe"
shell_before=$(e2e_reg_get "$WINLOGON" Shell)

e2e_note "installation with both options"
{
  integ_to_replace
  cat <<SCRIPT
check 103
check 104
click 1
msgbox "Marwindle!" "$INTEG_RESTART"
answer no
msgbox "Marwindle!" "$INTEG_RUN"
answer no
exit 0
SCRIPT
} | e2e_drive 120
e2e_reboot
e2e_assert_reg "$WINLOGON" Shell "$D\\Marwindl.Exe"
e2e_assert_file "$W\\Marwindl.Reg"
e2e_assert_file "$W\\Help\\Mwtools.hlp"
links=$(find "$E2E_C/users" -ipath '*start menu/programs/marwindle!.lnk' | wc -l)
[ "$links" -eq 1 ] || e2e_fail "expected the installation's shortcut, found $links"

e2e_note "uninstallation"
e2e_drive 60 <<SCRIPT
timeout 30
run "$D\\UnInstal.Exe"
msgbox "Marwindle! Uninstall" "Do you want to remove Marwindle! and all of its components from $D\\?"
answer yes
wait "Marwindle! Uninstall"
answer ok
exit 0
SCRIPT

for f in Marwindl.Exe TaskMan.Exe CTRLMW.SYS Marwindl.Reg; do e2e_assert_no_file "$D\\$f"; done
e2e_assert_no_file "$W\\Help\\Mwtools.hlp"
e2e_assert_same "$E2E_C/system-taskman.exe" "$W\\TaskMan.Exe"
e2e_assert_no_file "$W\\TaskMang.Exe"
e2e_assert_no_file "$W\\Marwindl.Reg"
e2e_assert_no_file "$W\\system32\\drivers\\CTRLMW.SYS"
links=$(find "$E2E_C/users" -ipath '*start menu/programs/*.lnk' -iname 'marwindle*' | wc -l)
[ "$links" -eq 0 ] || e2e_fail "the shortcut is still there"
e2e_assert_reg "$WINLOGON" Shell "$shell_before"
e2e_assert_no_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!' DisplayName

# The uninstaller itself and its folder go at the next start.
e2e_reboot
e2e_assert_no_file "$D\\UnInstal.Exe"
e2e_assert_no_file "$D"
e2e_pass

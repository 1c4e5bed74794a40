#!/usr/bin/env bash
# A first installation taking every default, with the options dialog
# cancelled: the uninstall entry and (NT family) the driver copy are made,
# no option is applied, and Yes to the success question starts the program.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin winxp

integ_payload
shell_before=$(e2e_reg_get 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon' Shell)

{
  integ_to_replace
  cat <<SCRIPT
click 2
msgbox "Marwindle!" "$INTEG_SUCCESS_RUN"
expect-window-count 1
answer yes
exit 0
SCRIPT
} | e2e_drive 120

D=$INTEG_DEST
P=$INTEG_PAYLOAD
U='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!'
e2e_assert_reg "$U" DisplayName 'Marwindle!'
e2e_assert_reg "$U" UnInstallString "$D\\UnInstal.Exe"
e2e_assert_same "$P\\CTRLMW.SYS" 'C:\windows\system32\drivers\CTRLMW.SYS'

# No option applied.
e2e_assert_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon' Shell "$shell_before"
e2e_assert_no_file 'C:\windows\TaskMang.Exe'
e2e_assert_no_file 'C:\windows\TaskMan.Exe'
e2e_assert_no_file "$D\\Marwindl1.Reg"
e2e_assert_lines 'C:\windows\wininit.ini' <<'END'
[Rename]
END

# Yes started the installed program, from its folder.
e2e_assert_line "$D\\started.txt" "started "
e2e_pass

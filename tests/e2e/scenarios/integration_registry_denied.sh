#!/usr/bin/env bash
# Registry writes that fail, as for a user who may not write under
# HKEY_LOCAL_MACHINE: both machine keys lose every right (an empty DACL,
# which Wine checks like Windows). Each failure is told with its reason,
# the rest of the integration still happens, and the final questions come.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin winxp
D=$INTEG_DEST
WINLOGON='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon'

integ_payload
shell_before=$(e2e_reg_get "$WINLOGON" Shell)

# The locks live as long as the wineserver, so they are set by the same
# scripted user that then runs setup.
{
  cat <<'SCRIPT'
run "C:\e2e\denykey.exe" Software\Microsoft\Windows\CurrentVersion\Uninstall
exit 0
run "C:\e2e\denykey.exe" Software\Microsoft\Windows NT\CurrentVersion
exit 0
SCRIPT
  integ_to_replace
  cat <<SCRIPT
check 104
click 1
msgbox "Marwindle!" "Marwindle! could not be registered for uninstallation.\r\n\r\nFailed to write DisplayName: the key could not be opened (Access denied)."
answer ok
msgbox "Marwindle!" "Marwindle! could not be made the Windows shell.\r\n\r\nFailed to write Shell: the key could not be opened (Access denied)."
answer ok
msgbox "Marwindle!" "$INTEG_RESTART"
answer no
msgbox "Marwindle!" "$INTEG_RUN"
answer no
exit 0
SCRIPT
} | e2e_drive 120

e2e_assert_no_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!' DisplayName
e2e_assert_reg "$WINLOGON" Shell "$shell_before"
# The driver copy between the two failures still happened.
e2e_assert_same "$INTEG_PAYLOAD\\CTRLMW.SYS" 'C:\windows\system32\drivers\CTRLMW.SYS'
e2e_assert_file "$D\\Marwindl.Exe"
e2e_pass

#!/usr/bin/env bash
# The shell option on the 9x family: SYSTEM.INI [Boot] Shell names the
# installed program by its short path; no driver copy. No to the restart
# question and No to the run question: nothing is started, no restart is
# asked for, and setup ends with exit code 0.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin win98

integ_payload

{
  integ_to_replace
  cat <<SCRIPT
check 104
click 1
msgbox "Marwindle!" "$INTEG_RESTART"
answer no
msgbox "Marwindle!" "$INTEG_RUN"
answer no
exit 0
SCRIPT
} | e2e_drive 120

D=$INTEG_DEST
shell=$(e2e_ini_get 'C:\windows\system.ini' Boot Shell) || e2e_fail "SYSTEM.INI has no [Boot] Shell="
e2e_note "SYSTEM.INI [Boot] Shell=$shell"
case "$shell" in *' '*) e2e_fail "the shell value is not the short path: $shell" ;; esac
integ_same_file "$shell" "$D\\Marwindl.Exe" || e2e_fail "the shell value $shell does not name $D\\Marwindl.Exe"

U='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!'
e2e_assert_reg "$U" UnInstallString "$D\\UnInstal.Exe"
e2e_assert_no_file 'C:\windows\system32\drivers\CTRLMW.SYS'
e2e_assert_no_file 'C:\windows\TaskMang.Exe'

# Nothing started, and no restart: a restart request would have carried out
# WININIT.INI, which still holds only its header.
e2e_assert_no_file "$D\\started.txt"
e2e_assert_lines 'C:\windows\wininit.ini' <<'END'
[Rename]
END
e2e_pass

#!/usr/bin/env bash
# Exit in the licence dialog: No to the exit question leaves the dialog
# open, Yes ends the run with the termination message over the background.
# Nothing is installed, and the run's list holds only its header.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin winxp

integ_payload
D=$INTEG_DEST

e2e_drive 120 <<'SCRIPT'
timeout 60
run "C:\dist\setup.exe"
expect-window "TMSetUp" "Installation"
wait "Destination Directory"
click 1
wait "License Agreement"
click 2
msgbox "Exit Marwindle!" "Do you really want to terminate the Setup program?"
answer no
wait "License Agreement"
expect-window-count 1
click 2
msgbox "Exit Marwindle!" "Do you really want to terminate the Setup program?"
answer yes
msgbox "Marwindle!" "The Installation process has been terminated."
expect-window "TMSetUp" "Installation"
answer ok
exit 0
SCRIPT

e2e_assert_no_file "$D\\Marwindl.Exe"
e2e_assert_no_file "$D\\Marwindle._TM"
e2e_assert_lines 'C:\windows\wininit.ini' <<'END'
[Rename]
END
e2e_assert_no_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!' DisplayName
e2e_pass

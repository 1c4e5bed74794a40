#!/usr/bin/env bash
# Cancel in the first dialog, confirmed: the run ends with the termination
# message and changes nothing. WININIT.INI keeps what another installation
# left waiting in it, under the header.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin winxp
D=$INTEG_DEST

integ_payload
# Put in place within the run: a new Wine session would carry it out at once.
printf '[Rename]\r\nC:\\other\\App.exe=C:\\other\\App.$$$\r\n[Other]\r\nkey=value\r\n' \
  >"$(e2e_unix 'C:\pending.ini')"

e2e_drive 60 <<'SCRIPT'
timeout 60
copy "C:\pending.ini" "C:\windows\wininit.ini"
run "C:\dist\setup.exe"
wait "Destination Directory"
click 2
msgbox "Exit Marwindle!" "Do you really want to terminate the Setup program?"
answer yes
msgbox "Marwindle!" "The Installation process has been terminated."
answer ok
exit 0
SCRIPT

e2e_assert_lines 'C:\windows\wininit.ini' <<'END'
[Rename]
C:\other\App.exe=C:\other\App.$$$
[Other]
key=value
END
e2e_assert_no_file "$D"
e2e_assert_no_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!' DisplayName
e2e_assert_no_file 'C:\windows\system32\drivers\CTRLMW.SYS'
e2e_pass

#!/usr/bin/env bash
# On the 9x family: Cancel in the program group dialog skips only the
# shortcut. The options dialog still comes, OK there with no option chosen
# ends with the offer to run the product (its main program was written under
# its own name), and the installation is complete.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
e2e_begin win98

integ_payload
D=$INTEG_DEST
P=$INTEG_PAYLOAD

e2e_drive 120 <<SCRIPT
timeout 60
run "C:\\dist\\setup.exe"
wait "Destination Directory"
click 1
wait "License Agreement"
click 1
wait "Program Group"
click 2
wait "Windows Interface"
expect-unchecked 103
expect-unchecked 104
click 1
msgbox "Marwindle!" "$INTEG_SUCCESS_RUN"
answer no
exit 0
SCRIPT

# Installed, registered, nothing waiting for a restart, nothing started.
e2e_assert_same "$P\\Marwindl.Exe" "$D\\Marwindl.Exe"
e2e_assert_same "$P\\UnInstal.Exe" "$D\\UnInstal.Exe"
e2e_assert_no_file "$D\\Marwindle._TM"
e2e_assert_no_file "$D\\started.txt"
e2e_assert_lines 'C:\windows\wininit.ini' <<'END'
[Rename]
END
lnk=$(find "$E2E_C" -iname 'Marwindle!*.lnk' 2>/dev/null | head -1)
[ -z "$lnk" ] || e2e_fail "Cancel in the program group dialog still made the shortcut $lnk"
e2e_assert_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marwindle!' DisplayName 'Marwindle!'
e2e_pass

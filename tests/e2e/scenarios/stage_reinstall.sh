#!/usr/bin/env bash
# Installing over an earlier installation while one of its files is in use:
# the main program is decoded into Marwindl.$$$ (the split reads that file
# and cuts it), the busy file is written as busy.$$$, and both wait in
# WININIT.INI for the next start of Windows, which puts them in place.
source "$MW_ROOT/tests/e2e/lib.sh"
e2e_begin winxp

P='C:\payload'
e2e_file "$P\\Marwindl.Exe" 9000 newmain
e2e_file "$P\\busy.dll" 3000 newbusy
e2e_file "$P\\free.txt" 2049 newfree
e2e_pack 'C:\dist' --main "$P\\Marwindl.Exe" --disks 2 --flat "$P\\busy.dll" "$P\\free.txt"

T='C:\Target'
e2e_file "$T\\Marwindl.Exe" 500 oldmain
e2e_file "$T\\busy.dll" 400 oldbusy
e2e_file "$T\\free.txt" 300 oldfree
cp "$(e2e_unix "$T\\Marwindl.Exe")" "$(e2e_unix 'C:\old.exe')"
cp "$(e2e_unix "$T\\busy.dll")" "$(e2e_unix 'C:\old.dll')"

# Another program holds busy.dll open without sharing for the whole run.
mw_wine 200 'C:\e2e\holdopen.exe' 'C:\Target\busy.dll' 45 >/dev/null 2>&1 &
holder=$!
for _ in $(seq 1 100); do
  [ -f "$(e2e_unix "$T\\busy.dll.held")" ] && break
  sleep 0.2
done
[ -f "$(e2e_unix "$T\\busy.dll.held")" ] || e2e_fail "holdopen.exe did not take busy.dll"

start=$SECONDS
e2e_drive 240 <<'SCRIPT'
timeout 60
run "C:\dist\setup.exe"
wait "Destination Directory"
settext 104 "C:\Target"
click 1
wait "License Agreement"
click 1
wait "Program Group"
click 1
wait "Windows Interface"
click 1
wait "Marwindle!"
answer no
msgbox "Marwindle!" "Do you wish to run Marwindle!?"
answer no
exit 0
SCRIPT

e2e_note "installation took $((SECONDS - start)) s"
e2e_assert_same 'C:\old.exe' "$T\\Marwindl.Exe"
e2e_assert_same "$P\\Marwindl.Exe" "$T\\Marwindl.\$\$\$"
e2e_assert_same 'C:\old.dll' "$T\\busy.dll"
e2e_assert_same "$P\\busy.dll" "$T\\busy.\$\$\$"
e2e_assert_same "$P\\free.txt" "$T\\free.txt"
e2e_assert_no_file "$T\\Marwindle._TM"
e2e_assert_line 'C:\windows\wininit.ini' 'C:\Target\Marwindl.Exe=C:\Target\Marwindl.$$$'
e2e_assert_line 'C:\windows\wininit.ini' 'C:\Target\busy.dll=C:\Target\busy.$$$'

# Let the holder end, then start Windows again.
wait "$holder"
e2e_reboot
e2e_assert_same "$P\\Marwindl.Exe" "$T\\Marwindl.Exe"
e2e_assert_same "$P\\busy.dll" "$T\\busy.dll"
e2e_assert_no_file "$T\\Marwindl.\$\$\$"
e2e_assert_no_file "$T\\busy.\$\$\$"
e2e_pass

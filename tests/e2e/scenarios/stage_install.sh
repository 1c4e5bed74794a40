#!/usr/bin/env bash
# A first installation from two disks: the second disk asked for, a wrong
# answer, the disk put in while the prompt is open. Every file lands byte for
# byte where it belongs: help files in the Windows help folder, existing
# .lib/.dtp files kept, a missing .lib written, files of 0, 2,048 and 2,049
# bytes exact, the main program cut back to itself, the joined archive gone.
source "$MW_ROOT/tests/e2e/lib.sh"
e2e_begin winxp

P='C:\payload'
e2e_file "$P\\Marwindl.Exe" 30000 main
e2e_file "$P\\zero.txt" 0
e2e_file "$P\\b2048.bin" 2048 b2048
e2e_file "$P\\b2049.bin" 2049 b2049
e2e_file "$P\\Guide.hlp" 700 guide
e2e_file "$P\\keep.lib" 100 newkeep
e2e_file "$P\\Other.Lib" 120 newother
e2e_file "$P\\fresh.lib" 130 fresh
e2e_file "$P\\Layout.DTP" 140 newlayout
e2e_pack 'C:\dist' --main "$P\\Marwindl.Exe" --disks 2 \
  "$P\\zero.txt" "$P\\b2048.bin" "$P\\b2049.bin" "$P\\Guide.hlp" \
  "$P\\keep.lib" "$P\\Other.Lib" "$P\\fresh.lib" "$P\\Layout.DTP"

# The user's own data files from before.
T='C:\Target'
e2e_file "$T\\keep.lib" 10 oldkeep
e2e_file "$T\\Other.Lib" 11 oldother
e2e_file "$T\\Layout.DTP" 12 oldlayout
cp "$(e2e_unix "$T\\keep.lib")" "$(e2e_unix 'C:\kept.lib')"
cp "$(e2e_unix "$T\\Other.Lib")" "$(e2e_unix 'C:\kept.Lib2')"
cp "$(e2e_unix "$T\\Layout.DTP")" "$(e2e_unix 'C:\kept.DTP')"

start=$SECONDS
e2e_drive 240 <<'SCRIPT'
timeout 60
run "C:\dist\disk1\setup.exe"
wait "Destination Directory"
settext 104 "C:\Target"
click 1
wait "License Agreement"
click 1
msgbox "Marwindle!" "Please Insert Disk number 2"
answer ok
msgbox "" "This is not the appropriate disk.\r\nPlease insert the correct disk and Press Enter"
answer ok
msgbox "Marwindle!" "Please Insert Disk number 2"
copy "C:\dist\disk2\Marwindl.002" "C:\dist\disk1\Marwindl.002"
answer ok
wait "Program Group"
click 1
wait "Windows Interface"
click 1
wait "Marwindle!"
answer no
exit 0
SCRIPT
e2e_note "installation took $((SECONDS - start)) s"

for f in Marwindl.Exe zero.txt b2048.bin b2049.bin fresh.lib; do
  e2e_assert_same "$P\\$f" "$T\\$f"
done
e2e_assert_same "$P\\Guide.hlp" 'C:\windows\Help\Guide.hlp'
e2e_assert_no_file "$T\\Guide.hlp"
e2e_assert_same 'C:\kept.lib' "$T\\keep.lib"
e2e_assert_same 'C:\kept.Lib2' "$T\\Other.Lib"
e2e_assert_same 'C:\kept.DTP' "$T\\Layout.DTP"
e2e_assert_no_file "$T\\Marwindle._TM"
e2e_assert_no_file "$T\\Marwindl.\$\$\$"
e2e_assert_no_line 'C:\windows\wininit.ini' 'Marwindl'
e2e_pass

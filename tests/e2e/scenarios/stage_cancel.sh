#!/usr/bin/env bash
# Leaving during the stages. In the join, the exit question comes up over the
# disk prompt: No leaves the prompt waiting, Yes ends the stage. In the
# unpack, Yes stops the decode. Either way the run ends with the terminated
# message and leaves neither the joined archive nor the main program behind.
# An unusable file directory stops the run before any part is read.
source "$MW_ROOT/tests/e2e/lib.sh"
e2e_begin winxp

P='C:\payload'
e2e_file "$P\\Marwindl.Exe" 4000 main
e2e_file "$P\\readme.txt" 300 readme
# Random bytes hardly compress: a few seconds of decoding under Wine.
head -c 100000 /dev/urandom >"$(e2e_unix "$P\\noise.bin")"
e2e_pack 'C:\dist' --main "$P\\Marwindl.Exe" --disks 2 "$P\\readme.txt" "$P\\noise.bin"

e2e_drive 120 <<'SCRIPT'
timeout 60
run "C:\dist\disk1\setup.exe"
wait "Destination Directory"
settext 104 "C:\TargetA"
click 1
wait "License Agreement"
click 1
msgbox "Marwindle!" "Please Insert Disk number 2"
wait "Please Stand By..."
click 2
msgbox "Exit Marwindle!" "Do you really want to terminate the Setup program?"
answer no
msgbox "Marwindle!" "Please Insert Disk number 2"
wait "Please Stand By..."
click 2
msgbox "Exit Marwindle!" "Do you really want to terminate the Setup program?"
answer yes
msgbox "Marwindle!" "Please Insert Disk number 2"
answer cancel
msgbox "Marwindle!" "The Installation process has been terminated."
answer ok
exit 0
SCRIPT
e2e_assert_no_file 'C:\TargetA\Marwindle._TM'
e2e_assert_no_file 'C:\TargetA\Marwindl.Exe'

# Cancel while the unpack decodes. The disk prompt marks the end of the join,
# so that the Cancel surely reaches the unpack stage.
start=$SECONDS
e2e_drive 120 <<'SCRIPT'
timeout 60
run "C:\dist\disk1\setup.exe"
wait "Destination Directory"
settext 104 "C:\TargetB"
click 1
wait "License Agreement"
click 1
msgbox "Marwindle!" "Please Insert Disk number 2"
copy "C:\dist\disk2\Marwindl.002" "C:\dist\disk1\Marwindl.002"
answer ok
sleep 1000
wait "Please Stand By..."
expect-text 65535 "Uncompressing the Marwindle! files."
click 2
msgbox "Exit Marwindle!" "Do you really want to terminate the Setup program?"
answer yes
msgbox "Marwindle!" "The Installation process has been terminated."
answer ok
exit 0
SCRIPT
e2e_note "cancelled run took $((SECONDS - start)) s"
for f in Marwindle._TM Marwindl.Exe readme.txt noise.bin; do
  e2e_assert_no_file "C:\\TargetB\\$f"
done

# A directory record whose name is longer than a record can hold.
setup=$(e2e_unix 'C:\dist\disk1\setup.exe')
{
  printf '\031'; printf 'a.txt%014d' 0; printf '\000\000\000\000\005\000\000\000'
  printf '\001\005\000\000\000'
} >>"$setup"
e2e_drive 60 <<'SCRIPT'
timeout 30
run "C:\dist\disk1\setup.exe"
wait "Destination Directory"
settext 104 "C:\TargetC"
click 1
wait "License Agreement"
click 1
msgbox "Marwindle!" "The list of files at the end of the setup program is damaged (entry 1 has a name length of 25, at most 19 fit). Copy the setup program again from the first disk."
answer ok
msgbox "Marwindle!" "The Installation process has been terminated."
answer ok
exit 0
SCRIPT
e2e_assert_no_file 'C:\TargetC\Marwindle._TM'
e2e_assert_no_file 'C:\TargetC\Marwindl.Exe'
e2e_pass

#!/usr/bin/env bash
# The scripted user itself: it answers message boxes by caption and text,
# checks the exit code, and a step that does not come true fails with a
# report of what was on the screen.
source "$MW_ROOT/tests/e2e/lib.sh"
e2e_begin winxp

e2e_drive 60 <<'SCRIPT'
timeout 20
run "C:\e2e\asker.exe"
msgbox "Asker" "Do you want a second question?\r\nSay yes."
expect-window-count 1
answer yes
msgbox "Asker" "This is the second question."
answer ok
exit 6
SCRIPT

rc=0
e2e_run_driver 60 <<'SCRIPT' || rc=$?
timeout 3
run "C:\e2e\asker.exe"
msgbox "Asker" "A text that never comes"
SCRIPT
[ "$rc" -eq 1 ] || e2e_fail "a step that never comes should fail the driver with 1, it gave $rc"
e2e_assert_output 'expected a message box "Asker" saying "A text that never comes"'
e2e_assert_output 'control 65535 Static "Do you want a second question?\r\nSay yes."'

# The program under test was stopped, so nothing is left running.
e2e_drive 30 <<'SCRIPT'
copy "C:\e2e\started.exe" "C:\e2e\started2.exe"
expect-file "C:\e2e\started2.exe"
run "C:\e2e\started2.exe" one two
exit 0
expect-file "C:\e2e\started.txt"
delete "C:\e2e\started2.exe"
expect-no-file "C:\e2e\started2.exe"
SCRIPT
e2e_assert_line 'C:\e2e\started.txt' "started one two"
e2e_pass

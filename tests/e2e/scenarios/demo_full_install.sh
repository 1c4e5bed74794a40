#!/usr/bin/env bash
# The full-size demo product from two floppy-sized disks, installed with
# every default: every installed file matches the product's own, help files
# in the Windows help folder. Under Wine each compressed byte costs a
# message pump, so this one takes minutes.
source "$MW_ROOT/tests/e2e/lib.sh"
source "$MW_ROOT/tests/e2e/fixtures/integration.sh"
PROGRAMS=$MW_DIST/win32/demo
[ -f "$PROGRAMS/Marwindl.Exe" ] || e2e_skip "no demo programs in $PROGRAMS: build first"
command -v python3 >/dev/null || e2e_skip "python3 is needed to make the demo product"
e2e_begin winxp
D=$INTEG_DEST

PRODUCT=$E2E_C/product
python3 "$MW_ROOT/demo/make_product.py" "$PROGRAMS" "$PRODUCT" || e2e_fail "could not make the demo product"
mapfile -t NAMES < <(grep -v '^#' "$MW_ROOT/demo/product.list" | grep .)
FILES=()
for name in "${NAMES[@]:1}"; do FILES+=("$PRODUCT/$name"); done
e2e_pack 'C:\dist' --main "$PRODUCT/${NAMES[0]}" --disks 2 --disk-size 1457664 "${FILES[@]}"

start=$SECONDS
e2e_drive 900 <<SCRIPT
timeout 60
run "C:\\dist\\disk1\\setup.exe"
wait "Destination Directory"
expect-text 104 "$D"
click 1
wait "License Agreement"
click 1
timeout 300
msgbox "Marwindle!" "Please Insert Disk number 2"
copy "C:\\dist\\disk2\\Marwindl.002" "C:\\dist\\disk1\\Marwindl.002"
answer ok
timeout 600
wait "Program Group"
timeout 60
click 1
wait "Windows Interface"
click 2
msgbox "Marwindle!" "$INTEG_SUCCESS_RUN"
answer no
exit 0
SCRIPT
e2e_note "the installation took $((SECONDS - start)) s"

for name in "${NAMES[@]}"; do
  case "${name,,}" in
    *.hlp) e2e_assert_same "$PRODUCT/$name" "C:\\windows\\Help\\$name" ;;
    *) e2e_assert_same "$PRODUCT/$name" "$D\\$name" ;;
  esac
done
e2e_assert_no_file "$D\\Marwindle._TM"
e2e_note "${#NAMES[@]} files installed as packed"
e2e_pass

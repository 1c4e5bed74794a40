#!/usr/bin/env bash
# The packer built for Windows does on Windows what it does on Linux: it
# builds a two-disk distribution, lists its directory, verifies it against
# the product folder, and refuses a name that does not fit a record.
source "$MW_ROOT/tests/e2e/lib.sh"
e2e_begin winxp

MWPACK_EXE=$MW_DIST/win32/mwpack.exe
[ -f "$MWPACK_EXE" ] || e2e_skip "no Windows packer at $MWPACK_EXE"
cp "$MWPACK_EXE" "$E2E_C/e2e/mwpack.exe"
cp "$MW_SETUP" "$E2E_C/e2e/setup.exe"

P='C:\product'
e2e_file "$P\\Marwindl.Exe" 20000 main
e2e_file "$P\\readme.txt" 5000 readme
e2e_file "$P\\Data.Bmp" 9000 picture
e2e_file "$P\\empty.dat" 0

out=$WINEPREFIX/mwpack.out
mwpack() {
  (cd "$E2E_C/e2e" && mw_wine 120 ./mwpack.exe "$@") >"$out" 2>&1
}

mwpack build --stub 'C:\e2e\setup.exe' --main "$P\\Marwindl.Exe" --out 'C:\dist' --disks 2 \
  "$P\\readme.txt" "$P\\Data.Bmp" "$P\\empty.dat" || { cat "$out"; e2e_fail "mwpack.exe build failed"; }
e2e_assert_file 'C:\dist\disk1\setup.exe'
e2e_assert_file 'C:\dist\disk1\Marwindl.001'
e2e_assert_file 'C:\dist\disk2\Marwindl.002'

mwpack list 'C:\dist\disk1\setup.exe' || { cat "$out"; e2e_fail "mwpack.exe list failed"; }
for name in readme.txt Data.Bmp empty.dat; do
  grep -q "$name" "$out" || { cat "$out"; e2e_fail "the listing does not name $name"; }
done

mwpack verify 'C:\dist' --against "$P" || { cat "$out"; e2e_fail "mwpack.exe verify failed"; }
cat "$out"

# The same distribution from the Linux packer is byte for byte the same.
"$MW_MWPACK" build --stub "$E2E_C/e2e/setup.exe" --main "$(e2e_unix "$P\\Marwindl.Exe")" \
  --out "$WINEPREFIX/linux-dist" --disks 2 "$(e2e_unix "$P\\readme.txt")" "$(e2e_unix "$P\\Data.Bmp")" \
  "$(e2e_unix "$P\\empty.dat")" >/dev/null || e2e_fail "mwpack build failed"
for f in disk1/setup.exe disk1/Marwindl.001 disk2/Marwindl.002; do
  cmp -s "$WINEPREFIX/linux-dist/$f" "$E2E_C/dist/$f" || e2e_fail "$f differs between the Windows and the Linux packer"
done

e2e_file "$P\\a-name-far-too-long.txt" 10
if mwpack build --stub 'C:\e2e\setup.exe' --main "$P\\Marwindl.Exe" --out 'C:\bad' \
  "$P\\a-name-far-too-long.txt"; then
  e2e_fail "a name of 23 characters was accepted"
fi
grep -q 'a-name-far-too-long.txt' "$out" || { cat "$out"; e2e_fail "the refusal does not name the file"; }
e2e_assert_no_file 'C:\bad\disk1\setup.exe'

e2e_pass

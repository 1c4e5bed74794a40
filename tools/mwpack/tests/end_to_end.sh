#!/usr/bin/env bash
# The packager end to end on a small product: build in both layouts, list,
# verify against the originals, disk sizes, damaged distributions and every
# refusal with its message.
#   end_to_end.sh MWPACK WORKDIR
set -u
MWPACK=$1
WORK=$2
rm -rf "$WORK"
mkdir -p "$WORK"
cd "$WORK" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run CODE PIECE CMD...: the command must exit with CODE, and when PIECE is
# not empty, say PIECE on stdout or stderr.
run() {
  local want=$1 piece=$2
  shift 2
  "$MWPACK" "$@" >out.txt 2>err.txt
  local rc=$?
  if [ "$rc" -ne "$want" ]; then
    fail "mwpack $* exited $rc, expected $want"
    sed 's/^/  | /' out.txt err.txt
    return
  fi
  if [ -n "$piece" ] && ! grep -qF -- "$piece" out.txt err.txt; then
    fail "mwpack $* did not say: $piece"
    sed 's/^/  | /' out.txt err.txt
  fi
}

# A small product: text, noise, runs, an empty file, names in mixed case.
python3 - <<'PY'
import os, random
random.seed(7)
os.makedirs("product", exist_ok=True)
def put(name, data):
    with open(os.path.join("product", name), "wb") as f:
        f.write(data)
put("Marwindl.Exe", b"MZ" + bytes(random.getrandbits(8) for _ in range(30000)) + b"\0" * 5000)
put("Logo.BMP", b"BM" + bytes([10, 20, 30]) * 20000)
put("logo2.bmp", bytes(random.getrandbits(8) for _ in range(7000)))
put("ReadMe.Txt", b"Marwindle! read me.\r\n" * 400)
put("Empty.dtp", b"")
put("NineteenCharsName.a", b"nineteen")
with open("stub.exe", "wb") as f:
    f.write(b"MZ stub of the setup program " * 100)
PY
FILES="product/Logo.BMP product/logo2.bmp product/ReadMe.Txt product/Empty.dtp product/NineteenCharsName.a"

# --- help and wrong calls
run 0 "mwpack build --stub" --help
run 2 "" 
run 2 "unknown command 'pack'" pack a b
run 2 "compress takes IN and OUT" compress onlyone
run 2 "COUNT must be a whole number" decompress a b 12x
run 2 "build needs --stub" build --main product/Marwindl.Exe --out d
run 2 "--disks must be from 1 to 4, not 5" build --stub stub.exe --main product/Marwindl.Exe --out d --disks 5
run 2 "--disks must be a whole number" build --stub stub.exe --main product/Marwindl.Exe --out d --disks -1
run 2 "unknown option --floppy" build --stub stub.exe --main product/Marwindl.Exe --out d --floppy
run 2 "--out needs a value" build --stub stub.exe --main product/Marwindl.Exe --out

# --- raw streams
run 0 "" compress product/ReadMe.Txt readme.lzh
run 0 "" decompress readme.lzh readme.out "$(stat -c %s product/ReadMe.Txt)"
cmp -s readme.out product/ReadMe.Txt || fail "compress/decompress round trip differs"
head -c 10 readme.lzh >short.lzh
run 1 "ends too early" decompress short.lzh short.out "$(stat -c %s product/ReadMe.Txt)"
run 1 "cannot open input 'missing.lzh'" decompress missing.lzh x 10

# --- the default layout: two disks
run 0 "product: " build --stub stub.exe --main product/Marwindl.Exe --out dist $FILES
for f in dist/disk1/setup.exe dist/disk1/Marwindl.001 dist/disk2/Marwindl.002; do
  [ -f "$f" ] || fail "build did not write $f"
done
[ -e dist/disk3 ] && fail "build made a third disk folder"
stub_size=$(stat -c %s stub.exe)
setup_size=$(stat -c %s dist/disk1/setup.exe)
[ "$setup_size" -eq $((stub_size + 28 * 5 + 5)) ] || fail "setup.exe is $setup_size bytes, expected the stub plus 145"
cmp -s -n "$stub_size" stub.exe dist/disk1/setup.exe || fail "setup.exe does not start with the stub"
# The trailer byte for byte: records in the given order, zero-filled names,
# little-endian offsets and sizes, the count and the total.
python3 - "$setup_size" <<'PY' || fail "trailer bytes are not as expected"
import struct, sys
data = open("dist/disk1/setup.exe", "rb").read()
count = data[-5]
total = struct.unpack("<i", data[-4:])[0]
main = 30000 + 2 + 5000
sizes = [("Logo.BMP", 60002), ("logo2.bmp", 7000), ("ReadMe.Txt", 21 * 400), ("Empty.dtp", 0), ("NineteenCharsName.a", 8)]
assert count == 5, count
rec = data[-5 - 28 * count:-5]
offset = main
for i, (name, size) in enumerate(sizes):
    r = rec[28 * i:28 * i + 28]
    assert r[0] == len(name), (name, r[0])
    assert r[1:1 + len(name)] == name.encode(), name
    assert r[1 + len(name):20] == b"\0" * (19 - len(name)), name
    assert struct.unpack("<ii", r[20:28]) == (offset, size), (name, r[20:28])
    offset += size
assert total == offset, (total, offset)
PY
run 0 "last file ends at the unpacked size: yes" list dist/disk1/setup.exe
grep -q "^1 *Logo.BMP *35002 *60002$" out.txt || { fail "list does not show Logo.BMP at 35002"; cat out.txt; }
grep -q "main program length (first offset): 35002" out.txt || fail "list does not report the main program length"
grep -q "files back to back: yes" out.txt || fail "list does not report the files back to back"
run 0 "verified" verify dist --against product
for name in Marwindl.Exe Logo.BMP logo2.bmp ReadMe.Txt Empty.dtp NineteenCharsName.a; do
  grep -q "^ok  $name " out.txt || fail "verify has no line for $name"
done

# --- flat, four disks, and a rebuild with fewer disks leaves no stale part
run 0 "" build --stub stub.exe --main product/Marwindl.Exe --out flat --flat --disks 4 $FILES
for f in setup.exe Marwindl.001 Marwindl.002 Marwindl.003 Marwindl.004; do
  [ -f "flat/$f" ] || fail "flat build did not write $f"
done
run 0 "verified" verify flat --against product
run 0 "removed" build --stub stub.exe --main product/Marwindl.Exe --out flat --flat --disks 3 $FILES
[ -e flat/Marwindl.004 ] && fail "a stale fourth part stayed"
run 0 "verified" verify flat --against product

# --- a product smaller than the disks still gets one part per disk
run 0 "" build --stub stub.exe --main product/NineteenCharsName.a --out tiny --disks 4
for d in 1 2 3 4; do [ -f "tiny/disk$d/Marwindl.00$d" ] || fail "tiny build has no part on disk $d"; done
run 0 "verified" verify tiny

# --- disk sizes: every disk fits, setup.exe counted on disk 1
run 0 "" build --stub stub.exe --main product/Marwindl.Exe --out floppy --disks 4 --disk-size 20000 $FILES
for d in 1 2 3 4; do
  used=$(cat floppy/disk$d/* | wc -c)
  [ "$used" -le 20000 ] || fail "disk $d holds $used bytes, more than 20000"
done
run 0 "verified" verify floppy --against product
run 1 "2 disks of 20000 bytes cannot hold" build --stub stub.exe --main product/Marwindl.Exe --out f2 --disks 2 --disk-size 20000 $FILES
run 1 "does not fit on a disk of 1000 bytes" build --stub stub.exe --main product/Marwindl.Exe --out f3 --disk-size 1000 $FILES
[ -e f2 ] && fail "a refused build left a folder"

# --- refusals of names, counts and sizes
mkdir -p odd other
printf 'x' >odd/TwentyCharacterName1
printf 'x' >'odd/back\slash.txt'
printf 'x' >'odd/co:lon.txt'
printf 'x' >"odd/tab$(printf '\t')name"
printf 'x' >other/readme.txt
run 1 "the name has 20 characters, at most 19 fit" build --stub stub.exe --main product/Marwindl.Exe --out r odd/TwentyCharacterName1
run 1 "holds '\\'" build --stub stub.exe --main product/Marwindl.Exe --out r 'odd/back\slash.txt'
run 1 "holds ':'" build --stub stub.exe --main product/Marwindl.Exe --out r 'odd/co:lon.txt'
run 1 "control character" build --stub stub.exe --main product/Marwindl.Exe --out r "odd/tab$(printf '\t')name"
run 1 "two files would be installed as 'readme.txt'" build --stub stub.exe --main product/Marwindl.Exe --out r product/ReadMe.Txt other/readme.txt
run 1 "cannot open file 'product/nothere.dll'" build --stub stub.exe --main product/Marwindl.Exe --out r product/nothere.dll
run 1 "cannot open stub 'nostub.exe'" build --stub nostub.exe --main product/Marwindl.Exe --out r
mkdir -p many
for i in $(seq 1 256); do : >"many/f$i.dat"; done
run 1 "256 files given; the directory holds at most 255" build --stub stub.exe --main product/Marwindl.Exe --out r many/*
truncate -s 2147483600 big.dat
run 1 "larger than 2 GB - 1 bytes" build --stub stub.exe --main product/Marwindl.Exe --out r big.dat
rm -f big.dat
[ -e r ] && fail "a refused build left a folder"

# --- damaged distributions
run 1 "damaged" list stub.exe
cp -r dist broken
printf 'x' | dd of=broken/disk2/Marwindl.002 bs=1 seek=100 conv=notrunc 2>/dev/null
run 1 "MISMATCH" verify broken --against product
rm -r broken/disk2
run 1 "ends too early" verify broken
cp -r dist changed
printf 'changed' | dd of=changed/product.txt 2>/dev/null
mkdir -p changed_orig && cp product/* changed_orig/ && printf 'Z' | dd of=changed_orig/logo2.bmp bs=1 seek=6999 conv=notrunc 2>/dev/null
run 1 "MISMATCH logo2.bmp: differs at byte 6999" verify dist --against changed_orig
rm changed_orig/Marwindl.Exe
run 1 "no Marwindl.Exe in 'changed_orig'" verify dist --against changed_orig
run 1 "no setup.exe in 'nowhere'" verify nowhere

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all packager checks passed"

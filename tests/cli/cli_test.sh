#!/usr/bin/env bash
# torvane-convert as a command-line user meets it: exit codes, messages, and the bytes it
# writes, with every source checked unchanged afterwards.
set -u
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
passes=0

check() {  # check LABEL CONDITION...
  local label=$1; shift
  if "$@"; then passes=$((passes + 1)); else echo "FAIL: $label"; failures=$((failures + 1)); fi
}

# run ARGS...: sets rc, out, err
run() {
  "$tool" "$@" >out.log 2>err.log
  rc=$?
  out=$(cat out.log)
  err=$(cat err.log)
}

entries() {  # the expected subtitle for lines "A" and "B" at interval $1
  local i=$1
  printf '1\r\n00:00:00,000 --> 00:00:%02d,000\r\nA\r\n\r\n' "$i"
  printf '2\r\n00:00:%02d,000 --> 00:00:%02d,000\r\nB\r\n\r\n' "$i" $((2 * i))
}

printf 'A\r\nB\r\n' > memo.txt
cp memo.txt memo.orig

# The interval in each of its spellings, before or after the file.
for args in "memo.txt" "--interval 12 memo.txt" "--interval=12 memo.txt" "-i 12 memo.txt" \
            "memo.txt --interval 12"; do
  rm -f memo.srt
  run $args
  want=5; case $args in *12*) want=12 ;; esac
  check "[$args] exit 0" test "$rc" -eq 0
  check "[$args] quiet" test -z "$out$err"
  check "[$args] bytes" cmp -s memo.srt <(entries "$want")
  check "[$args] source unchanged" cmp -s memo.txt memo.orig
done

# Refused and failing files are named on stderr; the others are still converted.
printf 'doc\n' > memo.doc
printf 'x\n' > other.txt
cp other.txt other.orig
rm -f memo.srt
run memo.doc gone.txt other.txt
check "mixed: exit 1" test "$rc" -eq 1
check "mixed: refusal names the file" grep -q '^torvane-convert: memo.doc: not a text file' err.log
check "mixed: missing file named" grep -q '^torvane-convert: gone.txt: cannot open: No such file' err.log
check "mixed: two lines of errors" test "$(wc -l < err.log)" -eq 2
check "mixed: good file converted" test -s other.srt
check "mixed: source unchanged" cmp -s other.txt other.orig
check "mixed: nothing for the refused" test ! -e memo.srt

# A name that derives itself is never written.
printf 'keep me\n' > self.txt.srt
cp self.txt.srt self.orig
run self.txt.srt
check "self: exit 1" test "$rc" -eq 1
check "self: explained" grep -q 'would be the source itself' err.log
check "self: source unchanged" cmp -s self.txt.srt self.orig

# A folder named like a text file.
mkdir notes.txt
run notes.txt
check "folder: exit 1" test "$rc" -eq 1
check "folder: explained" grep -q 'notes.txt: cannot open: Is a directory' err.log
check "folder: nothing created" test ! -e notes.srt

# "--" lets a file name begin with a dash.
printf 'A\nB\n' > -dash.txt
run -- -dash.txt
check "dash: exit 0" test "$rc" -eq 0
check "dash: converted" cmp -s ./-dash.srt <(entries 5)

# Usage errors: exit 2, nothing converted.
rm -f memo.srt
for args in "" "--interval" "--interval 0 memo.txt" "--interval 61 memo.txt" \
            "--interval abc memo.txt" "--interval=-5 memo.txt" "--bogus memo.txt"; do
  run $args
  check "[$args] exit 2" test "$rc" -eq 2
  check "[$args] says why" grep -q '^torvane-convert: ' err.log
  check "[$args] nothing written" test ! -e memo.srt
done
run --interval 0 memo.txt
check "too small explained" grep -q 'too small' err.log
run --interval 61 memo.txt
check "too large explained" grep -q 'too large' err.log

run --help
check "help: exit 0" test "$rc" -eq 0
check "help: usage" grep -q '^Usage: torvane-convert \[--interval N\] FILE' out.log
run --version
check "version" test "$rc" -eq 0 -a "$out" = "torvane-convert (Torvane) 1.3"

echo "cli: $passes passed, $failures failed"
test "$failures" -eq 0

#!/usr/bin/env bash
# cases.sh LSTCHECK: runs the manifest checker over the demo CD and over small CDs whose
# manifests hold one kind of trap each, as folders and as ISO 9660 images, and compares each
# report (turned from code page 932 into UTF-8) and exit status with what is expected, and over
# a large manifest its peak memory (GNU time). Prints "N passed, N failed".
set -uo pipefail

lstcheck=$1
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# A manifest line with CR LF; headers and other text go through code page 932.
line() { printf '%s\r\n' "$1" | iconv -f UTF-8 -t CP932; }
lines() { local l; for l in "$@"; do line "$l"; done; }

# new_cd NAME FILE...: an empty CD with these files (each holding its own name).
new_cd() {
  local cd=$work/$1 f
  shift
  mkdir -p "$cd"
  for f in "$@"; do
    mkdir -p "$(dirname "$cd/$f")"
    printf '%s' "$f" >"$cd/$f"
  done
}

# expect NAME STATUS [--no-notes]: the report of CD NAME, read from stdin, and its exit status.
# The peak memory goes to NAME.kb.
expect() {
  local name=$1 status=$2 filter=cat got rc
  [[ ${3:-} == --no-notes ]] && filter="grep -v -e ': note: '"
  /usr/bin/time -f %M -o "$work/$name.kb" "$lstcheck" "$work/$name" >"$work/$name.report"
  rc=$?
  got=$(iconv -f CP932 -t UTF-8 "$work/$name.report" | eval "$filter")
  if diff -u <(cat) <(printf '%s\n' "$got") >"$work/$name.diff" && [[ $rc == "$status" ]]; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failed=$((failed + 1))
    echo "FAILED: $name (exit status $rc, expected $status)"
    cat "$work/$name.diff"
  fi
}

# at_most NAME KB: the peak memory of the check of CD NAME, in kB.
at_most() {
  local kb
  kb=$(tail -n 1 "$work/$1.kb")
  if ((kb <= $2)); then
    passed=$((passed + 1))
    echo "ok: $1 in $kb kB"
  else
    failed=$((failed + 1))
    echo "FAILED: $1 took $kb kB, more than $2"
  fi
}

# The demo CD as tools/make-demo-cd makes it, with empty programs: clean, and no notes.
mkdir -p "$work/build/standins"
touch "$work/build/setup.exe" "$work/build/standins/"{VELKORIN.EXE,UPDATE.EXE,soundin.exe}
"$repo/tools/make-demo-cd" "$work/demo" --build-dir "$work/build" 2>/dev/null
expect demo 0 <<'EOF'
setup.lst: level 0 (minimum): section of line 1, 1 file, 0 bytes, room asked 1000000
setup.lst: level 1 (standard): section of line 7, 327 files, 100400 bytes, room asked 87000000
setup.lst: level 2 (full): section of line 342, 357 files, 109400 bytes, room asked 380000000
setup.lst: upgrade 0 to 1: 326 files, 100400 bytes, room asked 86000000
setup.lst: upgrade 0 to 2: 356 files, 109400 bytes, room asked 380000000
setup.lst: upgrade 1 to 2: 30 files, 9000 bytes, room asked 293000000
setup.lst: clean
EOF

# The same CD as a disc image: the same report.
"$repo/tools/make-demo-cd" --iso "$work/demo.iso" --build-dir "$work/build" 2>/dev/null
expect demo.iso 0 < <(iconv -f CP932 -t UTF-8 "$work/demo.report")

# No manifest at all.
mkdir -p "$work/empty"
expect empty 2 <<EOF
setup.lst: cannot be read: $work/empty/setup.lst
EOF

# The standard section lists only what it adds over the minimum one; no full section.
new_cd incremental VELKORIN.EXE SE.DAT
{
  lines '[最小]' 1 '' '' VELKORIN.EXE '[END]'
  lines '[標準]' 1 '' '' SE.DAT '[END]'
} >"$work/incremental/setup.lst"
expect incremental 1 --no-notes <<'EOF'
setup.lst: fault: no section serves level 2 (full): an install at that level fails
setup.lst:7: fault: the section for level 1 (standard) lacks "VELKORIN.EXE" of level 0 (line 5): an install at level 1 misses it
setup.lst: level 0 (minimum): section of line 1, 1 file, 12 bytes, room asked 1000000
setup.lst: level 1 (standard): section of line 7, 1 file, 6 bytes, room asked 87000000
setup.lst: upgrade 0 to 1: 1 file, 6 bytes, room asked 86000000
setup.lst: 2 faults, 3 notes
EOF

# The minimum section has lost its [END]: the full header becomes a file name of it.
new_cd unterminated VELKORIN.EXE
{
  lines '[最小]' 1 '' '' VELKORIN.EXE
  lines '[最大]' 1 '' '' VELKORIN.EXE '[END]'
} >"$work/unterminated/setup.lst"
expect unterminated 1 --no-notes <<'EOF'
setup.lst:6: fault: a section header inside the section of line 1, taken as a file name: is its [END] missing?
setup.lst:6: fault: "[最大]" is not on the CD: the copy stops there
setup.lst:6: fault: "[最大]" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:7: fault: "1" is not on the CD: the copy stops there
setup.lst:7: fault: "1" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:8: fault: "" is not on the CD: the copy stops there
setup.lst:8: fault: "" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:9: fault: "" is not on the CD: the copy stops there
setup.lst:9: fault: "" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:2: fault: the count says 1, the section lists 6 files: the progress bar runs past 100 %
setup.lst: level 0 (minimum): section of line 1, 4 files, 12 bytes, room asked 1000000
setup.lst: level 1 (standard): section of line 6, 1 file, 12 bytes, room asked 87000000
setup.lst: level 2 (full): section of line 6, 1 file, 12 bytes, room asked 380000000
setup.lst: upgrade 0 to 1: 0 files, 0 bytes, room asked 86000000
setup.lst: upgrade 0 to 2: 0 files, 0 bytes, room asked 380000000
setup.lst: upgrade 1 to 2: 0 files, 0 bytes, room asked 293000000
setup.lst: 10 faults, 3 notes
EOF

# A minimum program too large for the room asked, a count that is no number, a name that is
# longer than a line, one the removal does not know, a name in other case than on the CD (no
# fault), and a last line without its line feed that also leaves the section without [END].
new_cd traps VELKORIN.EXE SE.DAT VOICE/VALL00.DAT EXTRA.DAT
truncate -s 1000001 "$work/traps/VELKORIN.EXE"
long=$(printf 'L%.0s' {1..300})
{
  lines '[最小]' 1 '' '' VELKORIN.EXE '[END]'
  lines '[標準]' abc '' '' SE.DAT '[END]'
  lines '[最大]' 4 '' '' VELKORIN.EXE se.dat EXTRA.DAT "$long" '\' 'voice\' 'voice\'
  printf 'VALL00.DAT'
} >"$work/traps/setup.lst"
expect traps 1 <<EOF
setup.lst:8: fault: the count "abc" is not a number of 1 or more: the setup refuses the section
setup.lst:13: fault: the section is not closed by [END]: the end of the file closes it
setup.lst:20: fault: the line has more than 254 characters: the setup reads it as 2 lines
setup.lst:24: fault: the last line has no line feed: the setup drops its last character and reads "VALL00.DA"
setup.lst:19: fault: "EXTRA.DAT" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:20: fault: "${long:0:254}" is not on the CD: the copy stops there
setup.lst:20: fault: "${long:0:254}" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:20: fault: "${long:255}" is not on the CD: the copy stops there
setup.lst:20: fault: "${long:255}" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:24: fault: "voice\\VALL00.DA" is not on the CD: the copy stops there
setup.lst:24: fault: "voice\\VALL00.DA" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:14: fault: the count says 4, the section lists 6 files: the progress bar runs past 100 %
setup.lst: note: the removal's catalogue names 28 files in "" that no level installs: "ANIM0.ANM", "ANIM1.ANM", "ANIM2.ANM", "ANIM3.ANM", "ANIM4.ANM", ...
setup.lst: note: the removal's catalogue names 30 files in "voice\\" that no level installs: "voice\\VALL00.DAT", "voice\\VALL01.DAT", "voice\\VALL02.DAT", "voice\\VALL03.DAT", "voice\\VALL04.DAT", ...
setup.lst: note: the removal's catalogue names 297 files in "midi\\" that no level installs: "midi\\vk01_fm.mid", "midi\\vk02afm.mid", "midi\\vk02bfm.mid", "midi\\vk02cfm.mid", "midi\\vk03afm.mid", ...
setup.lst:1: fault: level 0 (minimum) copies 1000001 bytes, more than the 1000000 the setup asks free: the disk can fill during the copy
setup.lst: level 0 (minimum): section of line 1, 1 file, 1000001 bytes, room asked 1000000
setup.lst: level 1 (standard): section of line 7, refused: an install at that level fails
setup.lst: level 2 (full): section of line 13, 6 files, 1000016 bytes, room asked 380000000
setup.lst: upgrade 0 to 2: 5 files, 15 bytes, room asked 380000000
setup.lst: 13 faults, 3 notes
EOF

# iso NAME CD [OPTION...]: an image of a CD folder with Rock Ridge names and those options.
iso() {
  local name=$1 cd=$2
  shift 2
  xorriso -as mkisofs -V VELKORIN -r "$@" -o "$work/$name" "$work/$cd" >/dev/null 2>&1 || {
    failed=$((failed + 1))
    echo "FAILED: xorriso could not make $name"
  }
}

# A name whose double-byte ソ ends in a backslash byte: found in the folder, and on an image by
# its Joliet name. On an image without Joliet names Windows shows the ISO 9660 one, "___.DAT",
# and the Rock Ridge name that Linux shows does not count. A name that climbs out with ".." is
# not on the CD, whatever lies beside its folder; and an image's setup.lst may share its bytes
# with another name (a hard link).
new_cd names VELKORIN.EXE ソフト.DAT
printf x >"$work/OUTSIDE.DAT"
lines '[最大]' 3 '' '' VELKORIN.EXE ソフト.DAT '..\OUTSIDE.DAT' '[END]' >"$work/names/setup.lst"
ln "$work/names/setup.lst" "$work/names/A.LST"
expect names 1 --no-notes <<'EOF'
setup.lst:6: fault: "ソフト.DAT" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:7: fault: "..\OUTSIDE.DAT" is not on the CD: the copy stops there
setup.lst:7: fault: "..\OUTSIDE.DAT" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst: level 0 (minimum): section of line 1, 3 files, 25 bytes, room asked 1000000
setup.lst: level 1 (standard): section of line 1, 3 files, 25 bytes, room asked 87000000
setup.lst: level 2 (full): section of line 1, 3 files, 25 bytes, room asked 380000000
setup.lst: upgrade 0 to 1: 0 files, 0 bytes, room asked 86000000
setup.lst: upgrade 0 to 2: 0 files, 0 bytes, room asked 380000000
setup.lst: upgrade 1 to 2: 0 files, 0 bytes, room asked 293000000
setup.lst: 3 faults, 3 notes
EOF
iso names.iso names -J --hardlinks
expect names.iso 1 < <(iconv -f CP932 -t UTF-8 "$work/names.report")
iso names-iso9660.iso names
expect names-iso9660.iso 1 --no-notes <<'EOF'
setup.lst:6: fault: "ソフト.DAT" is not on the CD: the copy stops there
setup.lst:6: fault: "ソフト.DAT" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst:7: fault: "..\OUTSIDE.DAT" is not on the CD: the copy stops there
setup.lst:7: fault: "..\OUTSIDE.DAT" is not named by the removal's catalogue: uninstall leaves it behind, and its folder
setup.lst: level 0 (minimum): section of line 1, 3 files, 12 bytes, room asked 1000000
setup.lst: level 1 (standard): section of line 1, 3 files, 12 bytes, room asked 87000000
setup.lst: level 2 (full): section of line 1, 3 files, 12 bytes, room asked 380000000
setup.lst: upgrade 0 to 1: 0 files, 0 bytes, room asked 86000000
setup.lst: upgrade 0 to 2: 0 files, 0 bytes, room asked 380000000
setup.lst: upgrade 1 to 2: 0 files, 0 bytes, room asked 293000000
setup.lst: 4 faults, 3 notes
EOF

# SETUP.LST and setup.lst at an image's root: Windows opens the first of them in the root's
# records, which are sorted by their characters' codes, upper case first. A note tells.
cp -r "$work/incremental" "$work/twins"
mv "$work/twins/setup.lst" "$work/twins/SETUP.LST"
: >"$work/twins/setup.lst"
iso twins.iso twins -J
expect twins.iso 1 < <(echo 'setup.lst: note: the root also holds "setup.lst", the same name in other case: Windows opens "SETUP.LST", the first of them on the disc, and so does this check'
  iconv -f CP932 -t UTF-8 "$work/incremental.report" | sed 's/, 3 notes$/, 4 notes/')

# 64 MB of long lines after the last [END]: the check holds a line at a time, as the setup
# reads them, from a folder as from an image.
cp -r "$work/incremental" "$work/large"
head -c 64000000 /dev/zero | tr '\0' x | fold -w 260 >>"$work/large/setup.lst"
iso large.iso large -J
expect large 1 < <(iconv -f CP932 -t UTF-8 "$work/incremental.report")
expect large.iso 1 < <(iconv -f CP932 -t UTF-8 "$work/incremental.report")
at_most large 24000
at_most large.iso 24000

# Images that cannot be read: one line each.
printf 'not a disc\n' >"$work/text.iso"
expect text.iso 2 <<EOF
setup.lst: cannot be read: $work/text.iso is not an ISO 9660 image
EOF
size=$(stat -c %s "$work/demo.iso")
head -c $((size / 2)) "$work/demo.iso" >"$work/cut.iso"
expect cut.iso 2 <<EOF
setup.lst: cannot be read: $work/cut.iso is cut short: it has $((size / 2)) bytes of the $size its volume descriptor announces
EOF
new_cd nolst VELKORIN.EXE
iso nolst.iso nolst -J
expect nolst.iso 2 <<EOF
setup.lst: cannot be read: $work/nolst.iso has no setup.lst at its root
EOF

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# Peak memory and time of the program on inputs a careless or hostile user hands it: 40 MB of blank
# lines to `foi`, 60 MB of "x" lines to `read`, and a console that writes a 3 GB output file to
# `run`. Each should stay within a few times its input (and a refusal well below that). Run by hand
# after a build; prints one line per case from /usr/bin/time -v.
#   bench/hostile_inputs.sh [build/bin/dfoundations]
set -euo pipefail
program=$(realpath "${1:-build/bin/dfoundations}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {
  local label=$1
  shift
  local status=0
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || status=$?
  local peak elapsed
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
  printf '%-34s exit %-3s peak %8.1f MB  %s\n' "$label" "$status" "$(echo "$peak / 1024" | bc -l)" "$elapsed"
}

head -c 40000000 /dev/zero | tr '\0' '\n' >"$work/blank.foi"
measure "foi, 40 MB of blank lines" "$program" foi "$work/blank.foi"

{ printf '[INPUT DATA]\n'; head -c 40000000 /dev/zero | tr '\0' '\n'; } >"$work/padded.foi"
measure "foi, [INPUT DATA] and 40 MB of blank lines" "$program" foi "$work/padded.foi"

head -c 60000000 < <(yes x) >"$work/x.fod"
measure "read, 60 MB of x lines" "$program" read "$work/x.fod"

{ printf '[S]\n'; head -c 60000000 < <(yes x); printf '[END OF S]\n'; } >"$work/x-section.fod"
measure "read, 60 MB of x lines in a section" "$program" read "$work/x-section.fod"
# Lines just dense enough to be read: 9 bytes each, against over 20 in D-Foundations' own files.
{ printf '[S]\n'; head -n 6666666 < <(yes 12345678); printf '[END OF S]\n'; } >"$work/short-section.fod"
measure "read, 60 MB of 9-byte lines in a section" "$program" read "$work/short-section.fod" --list

printf '[INPUT FILE]\n' >"$work/model.foi"
cat >"$work/console.sh" <<'EOF'
#!/bin/sh
head -c 3000000000 /dev/zero > output.fod
EOF
chmod +x "$work/console.sh"
measure "run, a console's 3 GB output" env DFOUNDATIONS_CONSOLE="$work/console.sh" TMPDIR="$work" \
  "$program" run "$work/model.foi" --timeout 600

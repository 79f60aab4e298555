#!/usr/bin/env bash
# Runs one golden case: tests/golden/NAME/cmd holds one command per line (arguments for
# ledra-convert, or a shell command after "!"), with @WORK@ (a fresh folder), @IN@ (the case's
# input/ copied there) and @EXAMPLES@ substituted. The combined output, the exit status of
# every line and the files in @WORK@/out must equal expected/ byte for byte (archives are
# left out: their names carry the time).
set -uo pipefail
exe="$1"; case_dir="$2"; examples="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out" "$work/in"
[[ -d "$case_dir/input" ]] && cp -R "$case_dir/input/." "$work/in/"

subst() { local s="$1"; s="${s//@WORK@/$work}"; s="${s//@IN@/$work/in}"; s="${s//@EXAMPLES@/$examples}"; printf '%s' "$s"; }

: >"$work/stdout"; : >"$work/status"
while IFS= read -r line || [[ -n "$line" ]]; do
  [[ -z "$line" || "$line" == \#* ]] && continue
  cmd="$(subst "$line")"
  if [[ "$cmd" == !* ]]; then
    (cd "$work" && bash -c "${cmd:1}") >>"$work/stdout" 2>&1
  else
    eval "args=($cmd)"
    (cd "$work" && "$exe" "${args[@]}") >>"$work/stdout" 2>&1
  fi
  echo "$?" >>"$work/status"
done <"$case_dir/cmd"
sed -i "s|$work|@WORK@|g; s|$examples|@EXAMPLES@|g" "$work/stdout"
# The conversion report names the run's time and the input files' places.
report="$work/out/変換レポート.txt"
[[ -f "$report" ]] && LC_ALL=C sed -i "s|$work|@WORK@|g; s|$examples|@EXAMPLES@|g;
  s|@WORK@/out/[0-9]\{14\}|@WORK@/out/@STAMP@|; 2s|[0-9]\{4\}/[0-9][0-9]/[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]|@NOW@|" "$report"

if [[ "${LEDRA_GOLDEN_UPDATE:-}" == 1 ]]; then
  rm -rf "$case_dir/expected"; mkdir -p "$case_dir/expected/files"
  cp "$work/stdout" "$work/status" "$case_dir/expected/"
  (cd "$work/out" && find . -type f ! -name '*.zip' -exec cp --parents {} "$case_dir/expected/files/" \;)
  echo "updated $case_dir"; exit 0
fi

fail=0
for f in stdout status; do
  if ! cmp -s "$case_dir/expected/$f" "$work/$f"; then
    echo "--- $f differs:"; diff "$case_dir/expected/$f" "$work/$f"; fail=1
  fi
done
expected_files="$(cd "$case_dir/expected/files" 2>/dev/null && find . -type f | sort)"
actual_files="$(cd "$work/out" && find . -type f ! -name '*.zip' | sort)"
if [[ "$expected_files" != "$actual_files" ]]; then
  echo "--- output files differ:"; diff <(echo "$expected_files") <(echo "$actual_files"); fail=1
fi
for f in $expected_files; do
  if [[ -f "$work/out/$f" ]] && ! cmp -s "$case_dir/expected/files/$f" "$work/out/$f"; then
    echo "--- $f differs:"; diff <(iconv -f CP932 -t UTF-8 "$case_dir/expected/files/$f") \
      <(iconv -f CP932 -t UTF-8 "$work/out/$f") | head -20; fail=1
  fi
done
exit $fail

#!/usr/bin/env bash
# Runs every example of README.md that is shown with a "$ " prompt and
# compares what it prints with the lines the README shows under it, and
# each file it writes with the stored copy in tests/data/readme_outputs/ (or
# the figure under docs/figures/ that the README shows). The README cannot
# then promise what the program no longer does.
#
#   readme_examples.sh SOURCE_DIR BUILD_DIR
#
# The examples run in a scratch folder laid out like the source tree, with
# build/ leading to BUILD_DIR, so that they run as written and write nothing
# into the sources.
set -u
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
stored="$source_dir/tests/data/readme_outputs"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$build_dir" "$scratch/build"
cp -R "$source_dir/resources" "$scratch/resources"
mkdir -p "$scratch/tests"
ln -s "$source_dir/tests/data" "$scratch/tests/data"

failures=0
examples=0
fail() {
  echo "FAILED: $1" >&2
  failures=$((failures + 1))
}

# Runs one command (cd is taken by the block's own shell state) and compares
# its standard output with the expected lines.
run_example() {
  local command=$1 expected=$2 actual status
  examples=$((examples + 1))
  if [[ $command == cd\ * ]]; then
    cd "${command#cd }" || fail "$command"
    return
  fi
  # A report pads its fields with blanks, which a README cannot keep at
  # the ends of its lines: those are dropped before comparing.
  actual=$(set -o pipefail; bash -c "$command" 2>"$scratch/.stderr" | sed -e 's/[[:space:]]*$//')
  status=$?
  if [[ $status -ne 0 ]]; then
    fail "$command (exit status $status): $(cat "$scratch/.stderr")"
  elif [[ "$actual" != "$expected" ]]; then
    fail "$command"
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") >&2
  fi
}

# Reads the README's indented blocks; a block whose first line is a "$ "
# command is a session: a command (continued by a trailing backslash) and
# then the lines it prints, up to the next command.
run_blocks() {
  local in_block=0 session=0 continuing=0 command="" line text
  local -a expected=()
  finish_command() {
    if [[ -n $command ]]; then
      # Blank lines closing a block belong to the markdown, not the output.
      while [[ ${#expected[@]} -gt 0 && -z ${expected[-1]} ]]; do unset 'expected[-1]'; done
      local joined=""
      [[ ${#expected[@]} -gt 0 ]] && joined=$(printf '%s\n' "${expected[@]}")
      run_example "$command" "$joined"
    fi
    command=""
    expected=()
  }
  while IFS= read -r line || [[ -n $line ]]; do
    if [[ $line == "    "* ]]; then
      text=${line#    }
      if [[ $in_block -eq 0 ]]; then
        in_block=1
        session=0
        cd "$scratch" || exit 1
        [[ $text == '$ '* ]] && session=1
      fi
      [[ $session -eq 1 ]] || continue
      if [[ $continuing -eq 1 ]]; then
        command+=" ${text#"${text%%[![:space:]]*}"}"
      elif [[ $text == '$ '* ]]; then
        finish_command
        command=${text#'$ '}
      else
        expected+=("$text")
      fi
      continuing=0
      if [[ $command == *\\ && ${#expected[@]} -eq 0 ]]; then
        command=${command%\\}
        continuing=1
      fi
    elif [[ -z $line && $in_block -eq 1 ]]; then
      [[ $session -eq 1 && -n $command ]] && expected+=("")
    else
      [[ $session -eq 1 ]] && finish_command
      in_block=0
      session=0
    fi
  done <"$source_dir/README.md"
  [[ $session -eq 1 ]] && finish_command
}

run_blocks
cd "$scratch"

# Every file the examples wrote, against its stored copy.
for written in "$scratch"/*; do
  name=$(basename "$written")
  [[ -f $written && ! -L $written ]] || continue
  if [[ -f "$source_dir/docs/figures/$name" ]]; then
    cmp -s "$written" "$source_dir/docs/figures/$name" || fail "$name differs from docs/figures/$name"
  elif [[ -f "$stored/$name" ]]; then
    cmp -s "$written" "$stored/$name" || fail "$name differs from tests/data/readme_outputs/$name"
  else
    fail "$name was written by an example but has no stored copy in tests/data/readme_outputs/"
  fi
done

# The usage the README sends readers to.
if ! "$build_dir/cli/xrdfourier-cli" --help \
    | cmp -s - "$stored/usage.txt"; then
  fail "xrdfourier-cli --help differs from tests/data/readme_outputs/usage.txt"
fi

if [[ $examples -eq 0 ]]; then
  echo "FAILED: no example found in README.md" >&2
  exit 1
fi
echo "$examples README examples run, $failures failed"
[[ $failures -eq 0 ]]

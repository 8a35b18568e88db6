# Helpers for the scripts that build and test; sourced by test.sh and fuzz.sh.

# timed LABEL COMMAND...: runs the command and then says how long it took,
# "== LABEL: N s", so that a log shows where the time of a run went. Returns
# the command's status.
timed() {
  local label=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  echo "== $label: $((SECONDS - start)) s"
  return "$status"
}

# configure DIR ARGS...: configures the build folder DIR. A new one is made
# for Ninja where it is installed: it compiles a target's files while the
# libraries the target links are still being built, where make waits for
# them, and DIR/.ninja_log keeps each step's time. A folder made before keeps
# the generator it was made with.
configure() {
  local dir=$1
  shift
  local generator=()
  if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
  fi
  cmake "${generator[@]}" -S . -B "$dir" "$@" >/dev/null
}

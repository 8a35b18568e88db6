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

# configure DIR ARGS...: configures the build folder DIR, quietly.
configure() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@" >/dev/null
}

# Sourced by the screenshot scripts whose picture a *-shot program of the
# build draws: sets here, build (the script's first argument, else build/)
# and scratch (a folder removed on exit), and gives run_shot.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# run_shot PROGRAM ARGS...: builds PROGRAM and runs it on Xvfb, with
# settings, cache and user registry of its own in the scratch folder.
run_shot() {
    local program=$1
    shift
    cmake --build "$build" --target "$program" >/dev/null
    XDG_CONFIG_HOME=$scratch XDG_CACHE_HOME=$scratch KAVREL_USER_HIVE=$scratch/user.reg \
        QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1200x800x24" "$build/bin/$program" "$@"
}

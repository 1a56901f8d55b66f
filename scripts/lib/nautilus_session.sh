# GNOME Files (Debian package nautilus) with our module from a build, under
# Xvfb: sourced by scripts/screenshot-nautilus.sh and the benchmarks.
#   nautilus_install BUILD WORK   installs BUILD into WORK/prefix and links the
#                                 module into Nautilus's extension folder (the
#                                 only one it reads; needs root); the link is
#                                 removed on exit, with WORK
#   nautilus_session_header WORK  the start of a session script: the desktop
#                                 environment of a fresh user in WORK/home
#   nautilus_run WORK             runs WORK/session.sh in Xvfb with a session bus
# The module's libraries come through LD_LIBRARY_PATH, as the link's folder is
# not the install's.

nautilus_install() {
  local build=$1 work=$2
  command -v nautilus >/dev/null || { echo "nautilus is not installed (apt-get install nautilus)" >&2; return 1; }
  nautilus_prefix=$work/prefix
  nautilus_link=$(pkg-config --variable=extensiondir libnautilus-extension-4)/libvelmora-nautilus.so
  cmake --install "$build" --prefix "$nautilus_prefix" >/dev/null
  nautilus_module=$(find "$nautilus_prefix" -name libvelmora-nautilus.so | head -1)
  trap "nautilus_cleanup '$work'" EXIT
  [ -e "$nautilus_link" ] && { echo "$nautilus_link exists already; not replacing it" >&2; nautilus_module=; return 1; }
  ln -s "$nautilus_module" "$nautilus_link"
}

nautilus_cleanup() {
  [ -n "${nautilus_module:-}" ] && [ -L "$nautilus_link" ] &&
    [ "$(readlink "$nautilus_link")" = "$nautilus_module" ] && rm -f "$nautilus_link"
  rm -rf "$1"
}

nautilus_session_header() {
  local work=$1
  cat <<SESSION
#!/usr/bin/env bash
set -u
export XDG_DATA_DIRS=$nautilus_prefix/share:/usr/local/share:/usr/share
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 GTK_A11Y=none GSK_RENDERER=cairo LD_LIBRARY_PATH=$nautilus_prefix/lib
mkdir -p \$HOME
SESSION
}

nautilus_run() {
  local work=$1
  chmod +x "$work/session.sh"
  timeout 600 xvfb-run -a -s '-screen 0 1280x900x24' dbus-run-session -- "$work/session.sh" \
    2>"$work/session.log" || { tail -n 20 "$work/session.log" "$work/nautilus.log" >&2; return 1; }
}

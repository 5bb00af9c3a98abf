#!/usr/bin/env bash
# Runs a test program as a screen reader would meet it: on its own Xvfb display, with a session
# bus and the AT-SPI accessibility bus and registry, and Qt's AT-SPI bridge on.
# Exit 77 (a skip, with the reason) when one of them is not installed.
set -euo pipefail
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  if ! command -v "$tool" > /dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh --tests installs it)"
    exit 77
  fi
done
if [ "${1:-}" != --inside ]; then
  runtime=$(mktemp -d)
  trap 'kill "${xvfb:-}" 2> /dev/null || true; rm -rf "$runtime"' EXIT
  exec 3> "$runtime/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$runtime/display" ] && break; sleep 0.1; done
  [ -s "$runtime/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -1 "$runtime/display")"
  export XDG_RUNTIME_DIR="$runtime"
  export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 VARDEL_NEED_ATSPI=1
  dbus-run-session -- "$0" --inside "$@"
  exit $?
fi
shift
/usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
launcher=$!
trap 'kill "$launcher" 2> /dev/null || true' EXIT
for _ in $(seq 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress > /dev/null 2>&1 && break
  sleep 0.1
done
"$@"

#!/usr/bin/env bash
# Runs the logger with the Orca screen reader on a private Xvfb display and AT-SPI bus, types a
# first start (own call, Enter, Yes) and a dupe, and prints what Orca would have said. Speech
# is off (there is no sound card to speak on): Orca's debug log still records every utterance.
#
# Needs: orca, xdotool, and what tests/support/with-atspi.sh needs. Usage, from a build folder:
#   ../tools/orca/orca-session.sh ./vardel
set -euo pipefail
program=$(readlink -f "${1:?give the vardel program}")
here=$(cd "$(dirname "$0")" && pwd)
for tool in orca xdotool; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed (apt-get install orca xdotool)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/contest" "$work/home"
printf '"W1AW","JOE","CT","1234","2","2026/12/05","16:00:00","CW"\r\n' > "$work/contest/log.txt"
cat > "$work/inside.sh" << INSIDE
#!/usr/bin/env bash
export HOME="$work/home"
orca --replace -d speech -d braille -d braille-monitor --debug-file="$work/orca.log" > /dev/null 2>&1 &
orca=\$!
sleep 6
"$program" --folder "$work/contest" > "$work/vardel.out" 2>&1 &
vardel=\$!
sleep 8
xdotool search --name "Amateur Station" windowfocus --sync; sleep 1
xdotool type --delay 100 K1XYZ; sleep 1; xdotool key Return; sleep 4
xdotool key Return; sleep 3
xdotool search --name Vardel windowfocus --sync; sleep 2
xdotool type --delay 150 W1AW; sleep 2; xdotool key Tab; sleep 6
kill \$vardel \$orca
INSIDE
chmod +x "$work/inside.sh"
"$here/../../tests/support/with-atspi.sh" "$work/inside.sh" > /dev/null 2>&1 || true
grep "SPEECH OUTPUT" "$work/orca.log" | sed "s/^.*SPEECH OUTPUT: //; s/{.*//"

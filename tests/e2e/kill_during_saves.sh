#!/usr/bin/env bash
# Kills the host with SIGKILL at random moments while it saves a project,
# writes Dravolex.cfg and writes a documentation file, over and over. After
# every kill each file must hold its old or its new content, never a mix.
# Arguments: the build folder, the source folder, the number of kills.
set -uo pipefail
build=$1
source=$2
kills=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A host installation of its own, so that its Dravolex.cfg is its own.
mkdir -p "$work/bin" "$work/Experts"
cp "$build"/bin/dravolex-host "$build"/bin/libdrvx_platform.so "$work/bin/"
cp "$build"/Experts/* "$work/Experts/"
host=$work/bin/dravolex-host
cp "$source/examples/Shop/Shop.mmproj" "$work/old.mmproj"

# One round of the three writes, repeated; every write gives the same new
# content, so a file may only ever be old or new.
round='show FrmMain
type FrmMain.edClassDiagramPrefix klass
click FrmMain.btnSaveSettings
page FrmMain.PgctrlMain DgDoc
click FrmMain.btAddAll
choose FrmMain.rgDestination 1
answer file '"$work"'/doc.txt
click FrmMain.btExtractDoc
save'
{
  printf 'select class TOrder\nexec 0\n'  # the project's change, saved in every round
  for _ in $(seq 12); do printf '%s\n' "$round"; done
} > "$work/writes.drvx"
run() {  # the host in place of the shell that runs this, so that a kill reaches it
  exec "$host" --instant-timers --clock "2026-01-01 10:00:00" "$work/Shop.mmproj" -s "$work/writes.drvx" \
    > /dev/null 2>&1
}

# The old and new contents, from a run that is not killed.
cp "$work/old.mmproj" "$work/Shop.mmproj"
"$host" --instant-timers -c "echo" > /dev/null 2>&1  # writes the default settings
cp "$work/bin/Dravolex.cfg" "$work/old.cfg"
start=$(date +%s%N)
(run) || { echo "the host failed without a kill"; exit 1; }
runtime_ms=$(( ($(date +%s%N) - start) / 1000000 ))
cp "$work/Shop.mmproj" "$work/new.mmproj"
cp "$work/bin/Dravolex.cfg" "$work/new.cfg"
cp "$work/doc.txt" "$work/new.txt"
cmp -s "$work/old.mmproj" "$work/new.mmproj" && { echo "the project did not change"; exit 1; }
cmp -s "$work/old.cfg" "$work/new.cfg" && { echo "the settings did not change"; exit 1; }

one_of() {  # file, then its allowed contents ("-" for absent)
  local file=$1
  shift
  for allowed in "$@"; do
    if [ "$allowed" = - ]; then [ -e "$file" ] || return 0
    elif cmp -s "$file" "$allowed"; then return 0
    fi
  done
  return 1
}

torn=0
for kill in $(seq "$kills"); do
  cp "$work/old.mmproj" "$work/Shop.mmproj"
  cp "$work/old.cfg" "$work/bin/Dravolex.cfg"
  rm -f "$work/doc.txt"
  run &
  pid=$!
  sleep "0.$(printf '%03d' $(( RANDOM % (runtime_ms < 999 ? runtime_ms + 1 : 1000) )))"
  kill -KILL "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
  one_of "$work/Shop.mmproj" "$work/old.mmproj" "$work/new.mmproj" || { torn=$((torn + 1)); echo "kill $kill: torn project"; }
  one_of "$work/bin/Dravolex.cfg" "$work/old.cfg" "$work/new.cfg" || { torn=$((torn + 1)); echo "kill $kill: torn settings"; }
  one_of "$work/doc.txt" - "$work/new.txt" || { torn=$((torn + 1)); echo "kill $kill: torn documentation"; }
done
# A kill between linking a finished file in and renaming it may leave its
# temporary name; the next save of that file removes it.
(run) || { echo "the host failed without a kill"; exit 1; }
leftovers=$(find "$work" "$work/bin" -maxdepth 1 -name '.*.*' | wc -l)
echo "$kills kills during saves (a run takes $runtime_ms ms): $torn torn files," \
     "$leftovers temporary files left after the next save"
[ "$torn" -eq 0 ] && [ "$leftovers" -eq 0 ]

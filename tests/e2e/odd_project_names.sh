#!/usr/bin/env bash
# Opens the example project under names with quotes, backslashes and blanks,
# given on the host's command line.
# Arguments: the build folder, the source folder.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in 'we\ird"name.mmproj' 'back\slash.mmproj' 'two words.mmproj' 'C:\temp\new.mmproj'; do
  cp "$source/examples/Shop/Shop.mmproj" "$work/$name"
  "$build/bin/dravolex-host" --no-plugins "$work/$name" -c "print summary" | grep -q "12 classes"
  echo "opened $name"
done
echo "all names opened"

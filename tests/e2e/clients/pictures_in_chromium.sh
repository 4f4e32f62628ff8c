#!/usr/bin/env bash
# Draws the example's and the hostile project's diagrams with the host and
# has Chromium lay them out with the real font: every text must fit the box
# that holds it (check_svg_in_chromium.mjs).
# usage: pictures_in_chromium.sh HOST EXAMPLE.mmproj PUPPETEER_DIR PUPPETEER.json
set -euo pipefail
host=$1 example=$2 puppeteer=$3 config=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/hostile_project.py" "$work/hostile.mmproj"
"$host" "$example" -c "render-all \"$work/example\"" > /dev/null
"$host" "$work/hostile.mmproj" -c "render-all \"$work/hostile\"" > /dev/null
node "$here/check_svg_in_chromium.mjs" "$puppeteer" "$config" "$work"/example/*.svg "$work"/hostile/*.svg

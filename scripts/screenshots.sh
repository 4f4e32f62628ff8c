#!/usr/bin/env bash
# Renders the desktop host's windows to PNG files in docs/screenshots,
# offscreen (no display needed): the studio with a sequence diagram, with the
# details of a method a verb just changed, scrolled down a tall sequence
# diagram (its heads stay in view), and with a large project open; the
# plug-in's main window on each page, and the class locator.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default > /dev/null
cmake --build --preset default --target dravolex-studio
out=docs/screenshots
mkdir -p "$out"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
open_studio() {
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime build/bin/dravolex-studio "$@" 2> /dev/null
}
studio() { open_studio examples/Shop/Shop.mmproj "$@"; }
studio --diagram sqProcessOrder --screenshot "$out/studio-sequence.png"
studio --diagram csOrders --screenshot "$out/studio-class-diagram.png"
studio --diagram csOrders -c "select method TOrder.Cancel" \
  -c 'exec "DRVX -> Add Try/Except to current method"' --screenshot "$out/studio-details.png"
python3 tests/e2e/clients/hostile_project.py "$runtime/tall.mmproj"
open_studio "$runtime/tall.mmproj" --diagram sqManyMessages -c "select diagram sqManyMessages" \
  --scroll 20000 --screenshot "$out/studio-sticky-heads.png"
python3 scripts/large-project.py "$runtime/large.mmproj" 40000
open_studio "$runtime/large.mmproj" --diagram csClasses17 --screenshot "$out/studio-large-project.png"
for page in References Sequences Statistik DgDoc Settings; do
  studio -c "select class TOrder" -c "show FrmMain" -c "page FrmMain.PgctrlMain $page" \
    -c "click FrmMain.SpBtSearchHyperLinksCurrentClass" -c "click FrmMain.btReload" \
    -c "click FrmMain.spbtRefreshStatistic" \
    --screenshot "$out/frmmain-$(echo "$page" | tr 'A-Z' 'a-z').png" --of FrmMain
done
studio -c "show ClassLocatorDlg" -c "type ClassLocatorDlg.cbxClassLocator TOrd" \
  --screenshot "$out/class-locator.png" --of ClassLocatorDlg
ls "$out"

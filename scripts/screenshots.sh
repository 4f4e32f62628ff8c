#!/usr/bin/env bash
# Renders the desktop host's windows to PNG files in docs/screenshots,
# offscreen (no display needed): the studio with a sequence diagram, the
# plug-in's main window on each page, and the class locator.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default > /dev/null
cmake --build --preset default --target dravolex-studio
out=docs/screenshots
mkdir -p "$out"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
studio() {
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime build/bin/dravolex-studio \
    examples/Shop/Shop.mmproj "$@" 2> /dev/null
}
studio --diagram sqProcessOrder --screenshot "$out/studio-sequence.png"
studio --diagram csOrders --screenshot "$out/studio-class-diagram.png"
for page in References Sequences Statistik DgDoc Settings; do
  studio -c "select class TOrder" -c "show FrmMain" -c "page FrmMain.PgctrlMain $page" \
    -c "click FrmMain.SpBtSearchHyperLinksCurrentClass" -c "click FrmMain.btReload" \
    -c "click FrmMain.spbtRefreshStatistic" \
    --screenshot "$out/frmmain-$(echo "$page" | tr 'A-Z' 'a-z').png" --of FrmMain
done
studio -c "show ClassLocatorDlg" -c "type ClassLocatorDlg.cbxClassLocator TOrd" \
  --screenshot "$out/class-locator.png" --of ClassLocatorDlg
ls "$out"

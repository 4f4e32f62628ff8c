#!/usr/bin/env bash
# Installs the Debian packages the build needs (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2046
$sudo apt-get install -y -q --no-install-recommends $(cat packages.txt)
# The Mermaid CLI, to check the Mermaid exports with the real parser and
# renderer (tests/e2e/clients); it drives Debian's chromium, so it fetches
# no browser of its own. The version is the last that runs on Debian 12's
# Node 20.
# Node and npm from Debian unless the machine has its own (which Debian's npm
# would conflict with).
if ! command -v npm > /dev/null; then $sudo apt-get install -y -q --no-install-recommends nodejs npm; fi
mermaid="$(cd .. && pwd)/.cache/mermaid-cli"
if [ ! -x "$mermaid/node_modules/.bin/mmdc" ]; then
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --prefix "$mermaid" --no-audit --no-fund --loglevel=error \
    @mermaid-js/mermaid-cli@11.17.0
fi

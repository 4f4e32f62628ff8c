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

#!/usr/bin/env bash
# Runs a command with a private runtime folder of its own, so that the message
# slots it opens and the senders it starts see nothing of other processes on
# the machine.
set -uo pipefail
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime "$@"

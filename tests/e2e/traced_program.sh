#!/usr/bin/env bash
# The example traced program run while the host serves: its call stack
# becomes the diagram sqDelphiCallStack with the roles and messages in the
# order of the calls; then again with the host's call-stack options, which
# leave out a class and keep the innermost three calls.
# Arguments: the build folder, the source folder.
set -euo pipefail
build=$1
source=$2
. "$(dirname "$0")/programs.sh"
make_work_folder
cd "$work"

# Runs the host on the example with the given commands first, while the
# traced program sends (once the host holds the slot: the program itself
# never retries); prints the roles and messages of the diagram it draws.
draw() {
  (for _ in $(seq 40); do
     sleep 0.5
     program traced-shop > /dev/null && break
   done) &
  local sender=$!
  local commands=()
  for c in "$@"; do commands+=(-c "$c"); done
  program dravolex-host "$source/examples/Shop/Shop.mmproj" "${commands[@]}" \
    -c "await 9 20000" -c "print diagram sqDelphiCallStack" > out.txt
  wait "$sender"
  tr -d '\r' < out.txt | sed -n 's/^  symbol \[[0-9]*\] rolesymbol \("[^"]*"\).*/role \1/p
                                  s/^  association \[[0-9]*\] sequencemessage \("[^"]*"\).*/message \1/p'
}

expect() {  # expect NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf '%s: expected\n%s\nbut the diagram has\n%s\n' "$1" "$2" "$3"
    exit 1
  fi
}

expect "the whole stack" 'role "System"
role "TShopApp"
role "TOrderProcessor"
role "TStock"
role "TSupplier"
message "Run"
message "Process(aOrder)"
message "CheckStock(aOrder)"
message "Reserve(aCode, aQuantity)"
message "Reorder(aCode)"' "$(draw)"

expect "the filtered stack" 'role "System"
role "TOrderProcessor"
role "TStock"
role "TSupplier"
message "CheckStock(aOrder)"
message "Reserve(aCode, aQuantity)"
message "Reorder(aCode)"' "$(draw "call-stacks exclude TShopApp" "call-stacks depth 3")"
echo "traced program drawn"

# Sourced by the end-to-end scripts: runs a program of the build folder
# $build. For a Windows build DRVX_EMULATOR names what runs the programs
# (wine) and DRVX_EXE_SUFFIX is ".exe".
program() {  # program NAME [ARGUMENTS...]
  local name=$1
  shift
  ${DRVX_EMULATOR:-} "$build/bin/$name${DRVX_EXE_SUFFIX:-}" "$@"
}

# A folder for the script's files, $work, removed when the script ends.
make_work_folder() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

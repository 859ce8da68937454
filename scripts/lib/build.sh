# Configures and builds the project. Source this file.
#   build_project DIR [cmake options...]

build_project() {
  local dir=$1
  shift
  cmake -S "$PEDIDOS_ROOT" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log" >&2
    echo "La configuración de CMake falló." >&2
    return 1
  }
  cmake --build "$dir" -j "$(nproc)" >"$dir.build.log" 2>&1 || {
    grep -E -A5 'error|Error' "$dir.build.log" | head -n 60 >&2
    echo "La compilación falló (registro completo: $dir.build.log)." >&2
    return 1
  }
}

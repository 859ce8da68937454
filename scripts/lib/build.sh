# Configures and builds the project. Source this file.
#   build_project DIR [cmake options...]
#   BUILD_TARGET=NAME build_project ...   builds that target only

# The sanitizer build: clang, ASan and UBSan, and the fuzzer's coverage, so
# that the same objects serve the tests under the sanitizers and the fuzz
# targets (scripts/test, scripts/fuzz).
SANITIZE_FUZZ_OPTIONS=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
  -DPEDIDOS_SANITIZE=ON -DPEDIDOS_FUZZ=ON)

build_project() {
  local dir=$1
  shift
  cmake -S "$PEDIDOS_ROOT" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log" >&2
    echo "La configuración de CMake falló." >&2
    return 1
  }
  cmake --build "$dir" -j "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"} >"$dir.build.log" 2>&1 || {
    grep -E -A5 'error|Error' "$dir.build.log" | head -n 60 >&2
    echo "La compilación falló (registro completo: $dir.build.log)." >&2
    return 1
  }
}

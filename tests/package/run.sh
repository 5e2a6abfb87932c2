#!/usr/bin/env bash
# Builds and runs the tiny host of tests/package/host against the library:
#   run.sh install BUILD_DIR WORK_DIR GENERATOR CXX SANITIZE(0|1)
#       installs BUILD_DIR into a temporary prefix; the host uses find_package(Tessaro)
#   run.sh subdirectory - WORK_DIR GENERATOR CXX SANITIZE(0|1)
#       the host adds the source tree with add_subdirectory
set -euo pipefail
mode=$1
build_dir=$2
work=$3
generator=$4
cxx=$5
sanitize=$6
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

rm -rf "$work"
mkdir -p "$work"

args=(-G "$generator" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release)
case "$mode" in
install)
    cmake --install "$build_dir" --prefix "$work/prefix" >"$work/install.log"
    # The Designer plugin, when built, lands in Qt's plugin folder under the prefix.
    if [[ -f "$build_dir/plugins/designer/libtessaro_designer.so" ]] &&
        ! find "$work/prefix" -path '*/qt6/plugins/designer/libtessaro_designer.so' | grep -q .; then
        echo "run.sh: the Designer plugin is not under $work/prefix/.../qt6/plugins/designer" >&2
        exit 1
    fi
    args+=(-DCMAKE_PREFIX_PATH="$work/prefix")
    ;;
subdirectory)
    args+=(-DTESSARO_SOURCE_DIR="$source_dir")
    ;;
*)
    echo "run.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac

if [[ "$sanitize" == 1 ]]; then
    # Built like the rest of the run: the host and the library with the sanitizers.
    args+=(-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined
           -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined)
fi
cmake -S "$here/host" -B "$work/build" "${args[@]}" >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
QT_QPA_PLATFORM=offscreen "$work/build/tessaro-host"

#!/usr/bin/env bash
# Sets up, builds and runs pordeck on Debian 12. Installs the Debian packages it needs
# (through sudo when not root, only those missing), then configures and builds.
#
#   ./run.sh play        build and start the game
#   ./run.sh test        build and run every test, then again under AddressSanitizer and
#                        UndefinedBehaviorSanitizer
#   ./run.sh package     build the Debian package build/pordeck_<version>_<arch>.deb
#   ./run.sh fuzz [s]    fuzz the image, sound and music loaders with libFuzzer for s seconds
#                        (default 600), from truncated and bit-flipped copies of the assets
#   ./run.sh bench       build and run the benchmarks, headless; further arguments go to
#                        Google Benchmark (--benchmark_filter=Frame, ...)
#   ./run.sh web         build the game for the browser (tools/web/) and serve it on
#                        http://127.0.0.1:8000/ until stopped
#   ./run.sh release     make every download of the commit checked out in dist/<version>/,
#                        with SHA256SUMS and NOTES.md (tools/release.sh)
#   ./run.sh windows     build the game for 64-bit Windows (tools/windows/) into
#                        build-windows/pordeck-<version>-windows-x86_64.zip
#   ./run.sh mutate [--sample N] [--seed S] [PATH...]
#                        plant faults one at a time in the C++ of PATH (default: src/ and
#                        lvgen) and report those the native tests miss (tools/mutate/);
#                        resumes a run that stopped
set -euo pipefail
cd "$(dirname "$0")"

BUILD_PACKAGES=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev
  nlohmann-json3-dev)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang-format xvfb xauth xdotool imagemagick
  x11-utils openbox dpkg-dev file desktop-file-utils appstream man-db lintian jq python3)
# The browser build; its test also needs a browser.
WEB_PACKAGES=(emscripten dpkg-dev)
# Releases: archives made the same way every time.
RELEASE_PACKAGES=(git zip strip-nondeterminism)
# The Windows build (SDL from Debian's sources, the commit's time for the zip); its tests
# run it under Wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 icoutils zip dpkg-dev git)
WINE_PACKAGES=(wine wine64 unzip)
JOBS=$(nproc)

install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=1200 update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=1200 install \
    -y -q --no-install-recommends "${missing[@]}"
}

build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j"$JOBS"
}

run_tests() {
  local dir=$1
  shift
  build "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure -j"$JOBS" --timeout 600
}

case "${1:-}" in
play)
  install_missing "${BUILD_PACKAGES[@]}"
  build build -DPORDECK_TESTS=OFF
  exec ./build/pordeck
  ;;
test)
  install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WEB_PACKAGES[@]}" \
    "${RELEASE_PACKAGES[@]}" chromium reprotest faketime diffoscope "${WINDOWS_PACKAGES[@]}" \
    "${WINE_PACKAGES[@]}"
  # The browser test drives Chromium through puppeteer-core, as tools/web/package-lock.json pins it.
  command -v npm >/dev/null || install_missing npm
  npm ci --prefix tools/web --no-audit --no-fund
  # The browser and Windows builds share one native build of the generators.
  PORDECK_HOST_TOOLS=build-host tools/web/build.sh build-web
  run_tests build -DPORDECK_TESTS=ON -DPORDECK_WEB_SITE="$PWD/build-web/site"
  # The Windows build's tests run under Wine, once: the sanitizers are for the native build.
  PORDECK_HOST_TOOLS=build-host tools/windows/build.sh build-windows -DPORDECK_TESTS=ON
  ctest --test-dir build-windows --output-on-failure -j"$JOBS" --timeout 600
  ASAN_OPTIONS=detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_tests build-sanitize -DPORDECK_TESTS=ON -DPORDECK_SANITIZE=ON
  tests/reproducible.sh "$PWD" deb web windows
  ;;
package)
  install_missing "${BUILD_PACKAGES[@]}" dpkg-dev file
  build build -DPORDECK_TESTS=OFF
  (cd build && cpack -G DEB)
  ;;
fuzz)
  install_missing "${BUILD_PACKAGES[@]}" clang
  CC=clang CXX=clang++ build build-fuzz -DPORDECK_FUZZ=ON -DPORDECK_TESTS=OFF
  corpus=build-fuzz/corpus
  fuzz/seed_corpus.sh build-fuzz/res "$corpus"
  # An allocation that cannot be made (a file may declare gigabytes of samples, or a size
  # that overflows) answers null, as it would on a machine without the memory.
  ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=1024 \
    ./build-fuzz/fuzz_loaders -max_total_time="${2:-600}" -max_len=200000 -rss_limit_mb=4096 \
    "$corpus"
  ;;
bench)
  install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
  build build -DPORDECK_TESTS=ON
  shift
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software ./build/pordeck_bench "$@"
  ;;
web)
  install_missing "${BUILD_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
  tools/web/build.sh build-web
  exec node tools/web/serve.mjs build-web/site 8000
  ;;
release)
  install_missing "${BUILD_PACKAGES[@]}" "${WEB_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}" \
    "${WINDOWS_PACKAGES[@]}"
  exec tools/release.sh
  ;;
windows)
  install_missing "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
  tools/windows/build.sh build-windows -DPORDECK_TESTS=OFF
  ;;
mutate)
  install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
  shift
  exec python3 tools/mutate/mutate.py "$@"
  ;;
*)
  echo "usage: $0 play | test | package | fuzz [seconds] | bench | web | release | windows |" \
    "mutate [--sample N] [--seed S] [PATH...]" >&2
  exit 2
  ;;
esac

# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          fonts-dejavu-core tzdata libxml2-utils xvfb xauth)

# ensure_packages [more packages...]
ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Parallel build jobs: all processors unless STRIDE_JOBS says otherwise.
JOBS="${STRIDE_JOBS:-$(nproc)}"

# configure DIR [extra cmake arguments...]: a new build folder, or one whose
# settings are given again.
configure() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ] || (($#)); then
    cmake -S . -B "$dir" -G Ninja "$@"
  fi
}

# build DIR [extra cmake arguments...]: everything, tests included.
build() {
  configure "$@"
  cmake --build "$1" -j "$JOBS"
}

# build_program DIR: only the program, its language module and the simulated
# watch (build/bin/watch-sim, small) that the README's first transfer talks to.
build_program() {
  configure "$1"
  cmake --build "$1" -j "$JOBS" --target StridemereLogbook watch-sim
}

#!/usr/bin/env bash
# Fails when an #include of our own headers points up the library order.
#
# The order is the one the build uses: plat, then STRIDE_LAYERS of the root
# CMakeLists.txt. A library may include itself and the libraries before it; plat/
# includes none of ours. tests/<lib>/ may include <lib> and below, the test helpers
# of those libraries (tests/<lower lib>/), tests/common and tools/. app/, tools/, bench/, tests/app/ and tests/fuzz/ sit on top of the whole
# stack. The language module (lang/) is built from plat/ alone.
#   scripts/check_includes.sh [source folder]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

layers=(plat $(sed -n 's/^set(STRIDE_LAYERS \(.*\))$/\1/p' CMakeLists.txt))
if ((${#layers[@]} < 2)); then
  echo "check_includes: no STRIDE_LAYERS in CMakeLists.txt" >&2
  exit 2
fi
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
# map/ holds two layers: the files named in STRIDE_MAP_LOW are the library map, the
# others the map window (mapwin).
declare -A map_low
for f in $(sed -n 's/^set(STRIDE_MAP_LOW \(.*\))$/\1/p' CMakeLists.txt); do map_low[$f]=1; done
# layer_folder PATH: the library folder a file or header of ours belongs to.
layer_folder() {
  local path="$1" folder="${1%%/*}"
  if [ "$folder" = map ]; then
    local stem; stem=$(basename "$path"); stem=${stem%.*}
    [ -n "${map_low[$stem]:-}" ] && echo map || echo mapwin
  elif [[ -n "${rank[$folder]:-}" && "$folder" != "$path" ]]; then
    echo "$folder"  # a sub-folder of a library folder is that library
  else
    echo "${path%/*}"
  fi
}
top=${#layers[@]}

# Deliberate exceptions: "including-file included-header" and the reason.
declare -A allowed=(
  # A string the language module lacks throws the Windows error type, as every
  # caller of the class (win and above) expects; glo itself reads strings through
  # LoadStringResource, which does not.
  ["./glo/GLO_StringResource.h win/WIN_Exception.h"]="the language module's error type"
)

# The highest layer a folder may include, and the extra folders it may use.
limit_of() {
  local dir="$1"
  case "$dir" in
    app|tools|bench|tests/app|tests/fuzz) echo "$top" ;;
    lang|lang/*|tests/common) echo 0 ;;
    tests/*) local lib="${dir#tests/}"; echo "${rank[$lib]:-$top}" ;;
    *) echo "${rank[$dir]:-$top}" ;;
  esac
}

extras_of() {
  case "$1" in
    app|bench|tests/app|tests/fuzz) echo "app tools tests/common tests/app tests/fuzz tests/imgkit" ;;
    tools) echo "tools" ;;
    tests/common) echo "tests/common" ;;
    # The map-image test kit serves the tests of the image layers and above.
    tests/*) local lib="${1#tests/}"
      if ((${rank[$lib]:-$top} >= ${rank[dsk]:-$top})); then echo "tools tests/common tests/imgkit $1"
      else echo "tools tests/common $1"; fi ;;
    *) echo "" ;;
  esac
}

status=0
while IFS= read -r -d '' file; do
  dir=$(dirname "$file")
  dir=${dir#./}
  # A sub-folder of a test folder follows that folder's rules.
  [[ "$dir" == tests/*/* ]] && dir=$(echo "$dir" | cut -d/ -f1,2)
  [[ "$dir" != tests/* ]] && dir=$(layer_folder "${file#./}")
  limit=$(limit_of "$dir")
  extras=" $(extras_of "$dir") "
  while IFS=: read -r line target; do
    target=${target#*\"}
    target=${target%%\"*}
    folder=${target%/*}
    [ "$folder" = "$target" ] && continue  # a header beside the file
    [[ "$folder" != tests/* ]] && folder=$(layer_folder "$target")
    [ -n "${allowed["$file $target"]:-}" ] && continue
    if [[ -n "${rank[$folder]:-}" ]]; then
      ((${rank[$folder]} <= limit)) && continue
    elif [[ "$extras" == *" $folder "* ]]; then
      continue
    elif [[ "$dir" == tests/* && "$folder" == tests/* && -n "${rank[${folder#tests/}]:-}" ]] &&
         ((${rank[${folder#tests/}]} <= limit)); then
      continue  # the test helpers of a library below
    elif [[ "$folder" != app && "$folder" != tools && "$folder" != tests/* && "$folder" != lang* ]]; then
      continue  # not one of ours
    fi
    echo "$file:$line: includes \"$target\", above what $dir may use" >&2
    status=1
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | cut -d: -f1,2- || true)
done < <(find . \( -path ./build -o -path './build-*' -o -path ./.git \) -prune -o \
           \( -name '*.h' -o -name '*.cpp' \) -type f -print0)

[ $status -eq 0 ] && echo "Include order: every include points down the library order."
exit $status

#!/usr/bin/env bash
# Fails when an #include of our own headers points up the library order.
#
# The order is the one the build uses: plat, then STRIDE_LAYERS of the root
# CMakeLists.txt. A library may include itself and the libraries before it; plat/
# includes none of ours. tests/<lib>/ may include <lib> and below, the test helpers
# of those libraries (tests/<lower lib>/), tests/common and tools/. app/, tools/, bench/, tests/app/ and tests/fuzz/ sit on top of the whole
# stack. The language module (lang/) is built from plat/ alone.
#   scripts/check_includes.sh [source folder]
#
# One grep reads every source file; one awk pass judges every include line.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

layers="plat $(sed -n 's/^set(STRIDE_LAYERS \(.*\))$/\1/p' CMakeLists.txt)"
if (($(wc -w <<<"$layers") < 2)); then
  echo "check_includes: no STRIDE_LAYERS in CMakeLists.txt" >&2
  exit 2
fi
# map/ holds two layers: the files named in STRIDE_MAP_LOW are the library map, the
# others the map window (mapwin).
map_low="$(sed -n 's/^set(STRIDE_MAP_LOW \(.*\))$/\1/p' CMakeLists.txt)"

set +e
find . \( -path ./build -o -path './build-*' -o -path ./.git \) -prune -o \
     \( -name '*.h' -o -name '*.cpp' \) -type f -print0 |
  xargs -0 -r grep -H -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
  awk -v layers="$layers" -v map_low="$map_low" '
# layer_folder(path): the library folder a file or header of ours belongs to.
function layer_folder(path,    folder, stem) {
  folder = path; sub(/\/.*/, "", folder)
  if (folder == "map") {
    stem = path; sub(/.*\//, "", stem); sub(/\.[^.]*$/, "", stem)
    return (stem in low) ? "map" : "mapwin"
  }
  if ((folder in rank) && folder != path) return folder  # a sub-folder of a library folder is that library
  return dirname(path)
}
# dirname(path): path up to its last slash, or path itself when it has none.
function dirname(path,    d) {
  d = path
  if (sub(/\/[^\/]*$/, "", d)) return d
  return path
}
function rank_or_top(name) { return (name in rank) ? rank[name] : top }
# The highest layer a folder may include.
function limit_of(dir) {
  if (dir == "app" || dir == "tools" || dir == "bench" || dir == "tests/app" || dir == "tests/fuzz") return top
  if (dir == "lang" || dir ~ /^lang\// || dir == "tests/common") return 0
  if (dir ~ /^tests\//) return rank_or_top(substr(dir, 7))
  return rank_or_top(dir)
}
# The extra folders it may use.
function extras_of(dir,    lib) {
  if (dir == "app" || dir == "bench" || dir == "tests/app" || dir == "tests/fuzz")
    return "app tools tests/common tests/app tests/fuzz tests/imgkit"
  if (dir == "tools") return "tools"
  if (dir == "tests/common") return "tests/common"
  if (dir ~ /^tests\//) {
    # The map-image test kit serves the tests of the image layers and above.
    lib = substr(dir, 7)
    if (rank_or_top(lib) >= rank_or_top("dsk")) return "tools tests/common tests/imgkit " dir
    return "tools tests/common " dir
  }
  return ""
}
BEGIN {
  top = split(layers, names, " ")
  for (i = 1; i <= top; i++) rank[names[i]] = i - 1
  top = top - 1
  n = split(map_low, stems, " ")
  for (i = 1; i <= n; i++) low[stems[i]] = 1
  # Deliberate exceptions: "including-file included-header" and the reason.
  # A string the language module lacks throws the Windows error type, as every
  # caller of the class (win and above) expects; glo itself reads strings through
  # LoadStringResource, which does not.
  allowed["./glo/GLO_StringResource.h win/WIN_Exception.h"] = "the language module'"'"'s error type"
  status = 0
}
{
  # file:line:text
  file = $0; sub(/:.*/, "", file)
  rest = substr($0, length(file) + 2)
  line = rest; sub(/:.*/, "", line)
  target = substr(rest, length(line) + 2)
  if (file != lastfile) {
    lastfile = file
    dir = dirname(file); sub(/^\.\//, "", dir)
    # A sub-folder of a test folder follows that folder'"'"'s rules.
    if (dir ~ /^tests\/[^\/]*\//) { split(dir, parts, "/"); dir = parts[1] "/" parts[2] }
    if (dir !~ /^tests\//) dir = layer_folder(substr(file, 3))
    limit = limit_of(dir)
    extras = " " extras_of(dir) " "
  }
  sub(/^[^"]*"/, "", target)
  sub(/".*/, "", target)
  folder = dirname(target)
  if (folder == target) next  # a header beside the file
  if (folder !~ /^tests\//) folder = layer_folder(target)
  if ((file " " target) in allowed) next
  if (folder in rank) {
    if (rank[folder] <= limit) next
  } else if (index(extras, " " folder " ")) {
    next
  } else if (dir ~ /^tests\// && folder ~ /^tests\// && (substr(folder, 7) in rank) &&
             rank[substr(folder, 7)] <= limit) {
    next  # the test helpers of a library below
  } else if (folder != "app" && folder != "tools" && folder !~ /^tests\// && folder !~ /^lang/) {
    next  # not one of ours
  }
  printf "%s:%s: includes \"%s\", above what %s may use\n", file, line, target, dir > "/dev/stderr"
  status = 1
}
END { exit status }
'
status=${PIPESTATUS[2]}
set -e
[ $status -eq 0 ] && echo "Include order: every include points down the library order."
exit $status

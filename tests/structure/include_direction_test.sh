#!/usr/bin/env bash
# The subsystems under src/ depend on each other one way only: app on everything,
# catalogue on platform, settings on platform and the resource identifiers, platform and
# resources on nothing of ours. An include that runs the other way fails, naming the
# file and the header.
# Usage: include_direction_test.sh RESULTS.xml [SRC_DIR]
set -u
results=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
src=${2:-$root/src}
# shellcheck source=tests/support/run_cases.sh
. "$root/tests/support/run_cases.sh"
declare -A allowed=(
  [app]="app catalogue settings platform resources"
  [catalogue]="catalogue platform"
  [settings]="settings platform resources"
  [platform]="platform"
  [resources]="resources"
)

# Prints every include of the layer's files that reaches a folder it may not use.
includes_only_what_it_may_use() {
  local layer=$1 file header target used bad=""
  while IFS= read -r file; do
    while IFS= read -r header; do
      target=$(realpath -m "$(dirname "$file")/$header")
      case $target in
        "$src"/*) used=${target#"$src"/}; used=${used%%/*} ;;
        *) bad="$bad ${file#"$src"/} includes $header (outside src);"; continue ;;
      esac
      [[ " ${allowed[$layer]} " == *" $used "* ]] || bad="$bad ${file#"$src"/} includes $header;"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done < <(find "$src/$layer" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) | sort)
  [ -z "$bad" ] || { echo "${bad# }"; return 1; }
}
AppIncludesOnlyWhatItMayUse() { includes_only_what_it_may_use app; }
CatalogueIncludesOnlyWhatItMayUse() { includes_only_what_it_may_use catalogue; }
SettingsIncludesOnlyWhatItMayUse() { includes_only_what_it_may_use settings; }
PlatformIncludesOnlyWhatItMayUse() { includes_only_what_it_may_use platform; }
ResourcesIncludesOnlyWhatItMayUse() { includes_only_what_it_may_use resources; }

run_cases IncludeDirection "$results" AppIncludesOnlyWhatItMayUse CatalogueIncludesOnlyWhatItMayUse \
  SettingsIncludesOnlyWhatItMayUse PlatformIncludesOnlyWhatItMayUse ResourcesIncludesOnlyWhatItMayUse

#!/usr/bin/env bash
# The subsystems under src/ depend on each other one way only: app on everything,
# catalogue on platform, settings on platform and the resource identifiers, platform and
# resources on nothing of ours. An include that runs the other way fails, naming the
# file and the header.
# Usage: include_direction_test.sh RESULTS.xml [SRC_DIR]
set -u
results=$1
src=${2:-$(cd "$(dirname "$0")/../../src" && pwd)}
declare -A allowed=(
  [app]="app catalogue settings platform resources"
  [catalogue]="catalogue platform"
  [settings]="settings platform resources"
  [platform]="platform"
  [resources]="resources"
)
cases="" failures=0 count=0
for layer in app catalogue settings platform resources; do
  count=$((count + 1))
  bad=""
  while IFS= read -r file; do
    dir=$(dirname "$file")
    while IFS= read -r header; do
      target=$(realpath -m "$dir/$header")
      case $target in
        "$src"/*) used=${target#"$src"/}; used=${used%%/*} ;;
        *) bad="$bad ${file#"$src"/} includes $header (outside src);"; continue ;;
      esac
      [[ " ${allowed[$layer]} " == *" $used "* ]] || bad="$bad ${file#"$src"/} includes $header;"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done < <(find "$src/$layer" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) | sort)
  name="${layer^}IncludesOnlyWhatItMayUse"
  if [ -z "$bad" ]; then
    cases="$cases<testcase name=\"$name\"/>"
    echo "[       OK ] $name"
  else
    failures=$((failures + 1))
    cases="$cases<testcase name=\"$name\"><failure message=\"${bad//\"/&quot;}\"/></testcase>"
    echo "[  FAILED  ] $name:$bad"
  fi
done
mkdir -p "$(dirname "$results")"
printf '<?xml version="1.0"?>\n<testsuites tests="%d" failures="%d" disabled="0" errors="0" name="structure">\n<testsuite name="IncludeDirection" tests="%d" failures="%d">%s</testsuite>\n</testsuites>\n' \
  "$count" "$failures" "$count" "$failures" "$cases" > "$results"
[ "$failures" -eq 0 ]

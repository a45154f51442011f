# Sourced by the tests written as shell scripts: runs shell functions as the cases of
# one suite, prints a line for each as GoogleTest does, and writes the JUnit file from
# which the test script counts passes and failures.
#
#   run_cases <suite> <results.xml> <case>...
#
# A case is a function that returns non-zero when it fails, having printed why (its
# standard output and error are the failure message). A function after_case, when one is defined, runs after every case.
# Returns non-zero when a case failed; total and failures then hold the counts.

elapsed_since() { awk -v start="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.3f", now - start }'; }
xml_escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'; }

run_cases() {
  local suite=$1 out=$2 name start rc message seconds entries="" suite_start said
  shift 2
  said=$(mktemp)
  total=0 failures=0 suite_start=$(date +%s.%N)
  for name in "$@"; do
    start=$(date +%s.%N)
    "$name" >"$said" 2>&1
    rc=$?
    if declare -F after_case >/dev/null; then after_case; fi
    message=$(cat "$said")
    seconds=$(elapsed_since "$start")
    total=$((total + 1))
    if [ $rc -eq 0 ]; then
      echo "[       OK ] $suite.$name (${seconds}s)"
      entries="$entries    <testcase name=\"$name\" classname=\"$suite\" time=\"$seconds\"/>
"
    else
      failures=$((failures + 1))
      echo "[  FAILED  ] $suite.$name: $message"
      entries="$entries    <testcase name=\"$name\" classname=\"$suite\" time=\"$seconds\">
      <failure message=\"$(printf '%s' "$message" | xml_escape)\"/>
    </testcase>
"
    fi
  done
  rm -f "$said"
  seconds=$(elapsed_since "$suite_start")
  mkdir -p "$(dirname "$out")"
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites tests=\"$total\" failures=\"$failures\" disabled=\"0\" errors=\"0\" time=\"$seconds\" name=\"$suite\">"
    echo "  <testsuite name=\"$suite\" tests=\"$total\" failures=\"$failures\" disabled=\"0\" errors=\"0\" time=\"$seconds\">"
    printf '%s' "$entries"
    echo "  </testsuite>"
    echo "</testsuites>"
  } >"$out"
  [ "$failures" -eq 0 ]
}

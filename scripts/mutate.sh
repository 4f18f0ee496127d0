#!/usr/bin/env bash
# Changes the code on purpose, one mutation at a time (scripts/mutations.txt), rebuilds,
# runs the test suite and reports which mutations the tests did not notice. A mutation
# that survives is a missing test. Not part of CI: a full run rebuilds once per mutation.
#   scripts/mutate.sh [NAME-FILTER]     e.g. scripts/mutate.sh pdf
# Uses its own build folders (build-mutate, and build-mutate-core for the Qt-free core
# alone) and restores every file it touched. A mutation of the core meets the core's own
# tests first, which build and run in seconds; only one they miss goes on to the whole suite.
# EQCIRCLE_MUTATE_CTEST_ARGS adds arguments to ctest (e.g. "-E tst_print_job" where
# others use the print queue at the same time).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${EQCIRCLE_MUTATE_BUILD_DIR:-$root/build-mutate}"
core_build="$build-core"
filter="${1:-}"
jobs="$(nproc 2>/dev/null || echo 2)"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if [ ! -f "$core_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$core_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEQCIRCLE_CORE_ONLY=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
fi
export QT_QPA_PLATFORM=offscreen

python3 - "$root" "$build" "$filter" "$jobs" "${EQCIRCLE_MUTATE_CTEST_ARGS:-}" "$core_build" <<'PY'
import pathlib, shlex, subprocess, sys
root, build, name_filter, jobs = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3].lower(), sys.argv[4]
ctest_args = shlex.split(sys.argv[5])
core_build = sys.argv[6]
core_folders = ("src/model/", "src/map/", "src/datafile/", "src/quakes/", "src/analysis/", "src/draw/")

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

def run(*cmd, where=build):
    return subprocess.run(cmd, cwd=where, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

def core_catches():
    """The core's own tests notice the mutation (or the core no longer builds)."""
    if run("cmake", "--build", ".", "-j" + jobs, where=core_build) != 0:
        return "killed (does not build)"
    return "killed" if run("ctest", "-j" + jobs, where=core_build) != 0 else None

mutations = [m for m in blocks((root / "scripts/mutations.txt").read_text(encoding="utf-8"))
             if name_filter in m["name"].lower()]
if run("cmake", "--build", ".", "-j" + jobs) != 0:
    sys.exit("mutate: the unchanged code does not build")
if run("ctest", "-j" + jobs, *ctest_args) != 0:
    sys.exit("mutate: the unchanged code fails its tests; fix that first")
if run("cmake", "--build", ".", "-j" + jobs, where=core_build) != 0 or run("ctest", "-j" + jobs, where=core_build) != 0:
    sys.exit("mutate: the unchanged core fails its own tests; fix that first")

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
        caught = core_catches() if m["file"].startswith(core_folders) else None
        if caught:
            outcome = caught
        elif run("cmake", "--build", ".", "-j" + jobs) != 0:
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
run("cmake", "--build", ".", "-j" + jobs, where=core_build)
total = len(mutations)
print(f"mutate: {killed} of {total} killed ({100.0 * killed / max(total, 1):.0f} %)")
for name in survived:
    print(f"  survived: {name}")
sys.exit(1 if survived else 0)
PY

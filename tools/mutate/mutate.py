#!/usr/bin/env python3
"""The project's mutation run: plants one fault at a time in the C++ sources and sees whether
the native tests catch it (./run.sh mutate; the README's "Mutation testing").

    mutate.py [--sample N] [--seed S] [PATH...]

Each worker (one per core) keeps a copy of the project and a build of its own under the work
folder; a mutant is written into the copy, built, tested with ctest and taken out again. Every
outcome is appended to results.jsonl there, so a run that stops resumes where it stopped.
"""

import argparse
import hashlib
import json
import math
import os
import queue
import random
import re
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

from mutants import mutants

HERE = Path(__file__).resolve().parent
SUFFIXES = {".cpp", ".h", ".cc", ".hpp"}
KILLED, SURVIVED, BUILD_ERROR, EQUIVALENT = "killed", "survived", "build error", "equivalent"
# A compiler's or linker's complaint about a source: the mutant does not build.
COMPILE_ERROR = re.compile(r"^(\S+?):\d+:(?:\d+:)? (?:fatal )?error:|ld returned", re.M)
FAILED_TEST = re.compile(r"Test +#\d+: (\S+) .*?\*\*\*(Failed|Timeout|Exception|Not Run)")
MAX_EQUIVALENT = 0.05
# The workers build for speed: optimised as the game ships (-O2, where Release means -O3),
# without the debug information that costs a fifth more time on the level generator.
BUILD_FLAGS = "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
BUILD_LIMIT = 1200  # seconds


def options():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("paths", nargs="*", metavar="PATH",
                        help="files or folders to mutate (default: src/ and lvgen)")
    parser.add_argument("--sample", type=int, metavar="N", help="N mutants (default: all)")
    parser.add_argument("--seed", type=int, default=1, metavar="S", help="the sample's seed")
    parser.add_argument("--root", type=Path, default=HERE.parent.parent, help="the project")
    parser.add_argument("--work", type=Path, help="workers and results (ROOT/build-mutate)")
    parser.add_argument("--equivalent", type=Path,
                        help="equivalent mutants (ROOT/tools/mutate/equivalent.txt)")
    parser.add_argument("--exclude", default="clang_format|debian_package|web_page|mutate_tool",
                        help="ctest -E: the tests left out")
    parser.add_argument("--target", default="test_programs", help="what the tests need built")
    parser.add_argument("--configure", action="append", metavar="ARG",
                        help="a further CMake argument of the workers' builds")
    parser.add_argument("--workers", type=int, default=os.cpu_count())
    parser.add_argument("--timeout", type=int, default=60, help="seconds per test")
    parser.add_argument("--rerun", action="store_true", help="run the survivors again")
    args = parser.parse_args()
    args.root = args.root.resolve()
    args.paths = args.paths or ["src", "tools/lvgen", "tools/lvgen.cpp"]
    args.work = (args.work or args.root / "build-mutate").resolve()
    args.equivalent = args.equivalent or args.root / "tools/mutate/equivalent.txt"
    args.configure = ["-DPORDECK_TESTS=ON"] + (args.configure or [])
    return args


def sources(root, paths):
    found = set()
    for path in paths:
        full = root / path
        if not full.exists():
            sys.exit(f"mutate: no such file or folder: {path}")
        files = [full] if full.is_file() else full.rglob("*")
        found.update(f.relative_to(root).as_posix() for f in files if f.suffix in SUFFIXES)
    return sorted(found)


def sample(per_file, sizes, count, seed):
    """count mutants, shared among the files in proportion to their size (largest remainders
    first); each file's own are drawn with a generator seeded by the seed and its path."""
    taken = {path: 0 for path in per_file}
    open_files = [path for path in per_file if per_file[path]]
    while count > sum(taken.values()) and open_files:
        left, total = count - sum(taken.values()), sum(sizes[p] for p in open_files)
        shares = {p: left * sizes[p] / total for p in open_files}
        room = {p: len(per_file[p]) - taken[p] for p in open_files}
        give = {p: min(int(shares[p]), room[p]) for p in open_files}
        for p in sorted(open_files, key=lambda p: (int(shares[p]) - shares[p], p)):
            if sum(give.values()) < left and give[p] < room[p]:
                give[p] += 1
        for p in open_files:
            taken[p] += give[p]
        open_files = [p for p in open_files if taken[p] < len(per_file[p])]
    chosen = []
    for path in sorted(per_file):
        drawn = random.Random(f"{seed}:{path}").sample(per_file[path], taken[path])
        chosen += sorted(drawn, key=lambda m: m.start)
    return chosen


def read_equivalent(path):
    """The mutants set aside, by name: "NAME -- REASON" lines, '#' starting a comment line."""
    if not path.exists():
        return {}
    entries = {}
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if line.strip() and not line.startswith("#"):
            name, separator, reason = line.partition(" -- ")
            if not separator or not reason.strip():
                sys.exit(f"mutate: {path}:{number}: expected 'NAME -- REASON'")
            entries[name.strip()] = reason.strip()
    return entries


def read_results(path, digests):
    """The last outcome recorded of each mutant whose file is still the same."""
    results = {}
    if path.exists():
        for line in path.read_text().splitlines():
            try:
                record = json.loads(line)
            except json.JSONDecodeError:  # the last line of a run that was killed
                continue
            if digests.get(record["file"]) == record["digest"]:
                results[record["mutant"]] = record
    return results


def project_files(root, work):
    """The files of the project that a worker copies: those git knows or would, else all."""
    listed = subprocess.run(["git", "-C", str(root), "ls-files", "-z", "-co",
                             "--exclude-standard"], capture_output=True, text=True)
    if listed.returncode == 0:
        return [f for f in listed.stdout.split("\0") if f and (root / f).is_file()]
    return [f.relative_to(root).as_posix() for f in root.rglob("*")
            if f.is_file() and work not in f.parents and ".git" not in f.parts]


class Worker:
    """A copy of the project and its build; runs one mutant after another."""

    def __init__(self, number, args, files):
        self.args, self.dir = args, args.work / f"w{number}"
        self.src, self.build, self.log = self.dir / "src", self.dir / "build", self.dir / "log"
        self.process, self.suite_limit, self.stopped = None, None, False
        self.copy(files)

    def copy(self, files):
        """The copy made the same as the project, unchanged files left alone (and so built)."""
        for rel in files:
            data, copy = (self.args.root / rel).read_bytes(), self.src / rel
            if not copy.is_file() or copy.read_bytes() != data:
                copy.parent.mkdir(parents=True, exist_ok=True)
                copy.write_bytes(data)
                copy.chmod((self.args.root / rel).stat().st_mode)
        wanted = {self.src / rel for rel in files}
        for path in list(self.src.rglob("*")):
            if path.is_file() and path not in wanted:
                path.unlink()

    def run(self, command, limit=None):
        """Runs command in a session of its own; its status and output (None: over the limit).
        Its processes are ended with it, those it left running too."""
        if self.stopped:
            return None, ""
        with open(self.log, "w") as log:
            self.process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT,
                                            start_new_session=True)
            try:
                status = self.process.wait(limit)
            except subprocess.TimeoutExpired:
                status = None
            self.kill()
            self.process.wait()
            self.process = None
        return status, self.log.read_text(errors="replace")

    def stop(self):
        self.stopped = True
        self.kill()

    def kill(self):
        """Ends every process of the command's session: a test's timeout(1) moves the game it
        runs to a group of its own, and a mutant may leave that game running."""
        session = getattr(self.process, "pid", None)
        for stat in Path("/proc").glob("[0-9]*/stat"):
            try:  # after the name: state, parent, group, session
                if session and int(stat.read_text().rsplit(")", 1)[1].split()[3]) == session:
                    os.kill(int(stat.parent.name), signal.SIGKILL)
            except (OSError, IndexError, ValueError):  # it has just ended
                pass

    def configure(self):
        return self.run(["cmake", "-S", str(self.src), "-B", str(self.build),
                         "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_COMPILE_WARNING_AS_ERROR=OFF",
                         BUILD_FLAGS] + self.args.configure)

    def make(self, limit=None):
        return self.run(["cmake", "--build", str(self.build), "-j1", "--target", self.args.target],
                        limit)

    def test(self, limit=None):
        # A test that fails once and then passes is taken for a flaky one, not for a catch.
        return self.run(["ctest", "--test-dir", str(self.build), "-E", self.args.exclude,
                         "--stop-on-failure", "--no-tests=error", "--repeat", "until-pass:2",
                         "--timeout", str(self.args.timeout)], limit)

    def baseline(self):
        """Configures, builds and tests the unchanged copy; None when the tests pass, else why
        not."""
        status, output = self.configure()
        if status == 0:
            status, output = self.make()
        if status != 0:
            return f"the build fails without a mutant (see {self.log})"
        start = time.monotonic()
        status, output = self.test()
        if status != 0:
            failed = ", ".join(m.group(1) for m in FAILED_TEST.finditer(output))
            return f"the tests fail without a mutant: {failed or output[-500:]}"
        self.suite_limit = max(120, 3 * (time.monotonic() - start))
        return None

    def try_mutant(self, mutant):
        """The outcome of one mutant and its detail: the failing test, or the error."""
        path = self.src / mutant.path
        original = path.read_text()
        path.write_text(mutant.apply(original))
        try:
            status, output = self.make(BUILD_LIMIT)
            if status is None:  # the level generator or a test's discovery that never ends
                return KILLED, "the build ran out of time"
            if status != 0:
                return self.build_failure(output)
            status, output = self.test(self.suite_limit)
            if status is None:
                return KILLED, "the suite ran out of time"
            if status != 0:
                failed = FAILED_TEST.search(output)
                return KILLED, f"{failed.group(1)} ({failed.group(2).lower()})" if failed else \
                    "ctest failed"
            return SURVIVED, ""
        finally:
            path.write_text(original)

    def build_failure(self, output):
        """A complaint of the compiler or linker about a source of the project is a build
        error; a build that fails later, running what it built (the level generator on the
        level, the tests' discovery) or compiling what that wrote, has caught the mutant."""
        for error in COMPILE_ERROR.finditer(output):
            if not error.group(1) or not Path(error.group(1)).is_relative_to(self.build):
                line = output[error.start():].splitlines()[0]
                return BUILD_ERROR, line.replace(str(self.src) + "/", "")
        lines = [line for line in output.splitlines() if "error" in line.lower()]
        return KILLED, "the build: " + (lines[0].strip() if lines else "failed")


def run_all(args, todo, files, record):
    """Runs the mutants of todo on the workers, calling record(mutant, outcome, detail, s)."""
    work = queue.Queue()
    for mutant in todo:
        work.put(mutant)
    workers = [Worker(n, args, files) for n in range(min(args.workers, len(todo)))]
    failures = []

    def serve(worker):
        start = time.monotonic()
        why = worker.baseline()
        if why or worker.stopped:
            failures.extend([why] if why and not worker.stopped else [])
            return
        print(f"mutate: worker {worker.dir.name} built and tested without a mutant in "
              f"{time.monotonic() - start:.0f} s", flush=True)
        while not failures:
            try:
                mutant = work.get_nowait()
            except queue.Empty:
                return
            start = time.monotonic()
            outcome, detail = worker.try_mutant(mutant)
            if failures:  # stopped: the outcome may be the stop's
                return
            record(mutant, outcome, detail, time.monotonic() - start)

    threads = [threading.Thread(target=serve, args=(w,), daemon=True) for w in workers]
    for thread in threads:
        thread.start()
    try:
        for thread in threads:
            while thread.is_alive():
                thread.join(0.5)
    except KeyboardInterrupt:
        failures.append("stopped; the next run resumes")
        for worker in workers:
            worker.stop()
        for thread in threads:
            thread.join()
    return failures


def wilson(k, n, z=1.96):
    """The 95 % interval of a share k / n (Wilson's score interval)."""
    if n == 0:
        return 0.0, 1.0
    p, d = k / n, 1 + z * z / n
    centre = (p + z * z / (2 * n)) / d
    half = z * math.sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / d
    return max(0.0, centre - half), min(1.0, centre + half)


def report(args, chosen, results, equivalent, stale):
    """The report's lines, and whether the equivalent mutants stay within their share."""
    outcome = {m.name: EQUIVALENT if m.name in equivalent else
               results[m.name]["outcome"] if m.name in results else None for m in chosen}
    kinds = [KILLED, SURVIVED, BUILD_ERROR, EQUIVALENT]
    lines = [f"{len(chosen)} mutants of {' '.join(args.paths)}"
             f"{f' (sample of seed {args.seed})' if args.sample is not None else ''}", "",
             f"{'file':32} {'mutants':>7} {'killed':>7} {'survived':>9} {'build error':>12} "
             f"{'equivalent':>11}"]
    for path in sorted({m.path for m in chosen}) + ["all"]:
        mine = [outcome[m.name] for m in chosen if path in (m.path, "all")]
        counts = [mine.count(kind) for kind in kinds]
        lines.append(f"{path:32} {len(mine):7} {counts[0]:7} {counts[1]:9} {counts[2]:12} "
                     f"{counts[3]:11}")
    for kind, title in ((SURVIVED, "Survived"), (BUILD_ERROR, "Build errors"),
                        (EQUIVALENT, "Equivalent"), (None, "Not run yet")):
        names = [m.name for m in chosen if outcome[m.name] == kind]
        if names:
            lines += ["", f"{title}: {len(names)}"]
            for name in names:
                detail = equivalent[name] if kind == EQUIVALENT else \
                    results[name]["detail"] if kind == BUILD_ERROR else ""
                lines.append(f"  {name}" + (f" -- {detail}" if detail else ""))
    counted = list(outcome.values())
    killed, survived, aside = (counted.count(k) for k in (KILLED, SURVIVED, EQUIVALENT))
    low, high = wilson(killed, killed + survived)
    share = killed / (killed + survived) if killed + survived else 0.0
    lines += ["", f"Killed: {killed} of {killed + survived} ({100 * share:.1f} %; 95 % interval "
                  f"{100 * low:.1f} to {100 * high:.1f} %), equivalent mutants and build errors "
                  "aside"]
    seconds = [results[m.name]["seconds"] for m in chosen if m.name in results]
    if seconds:
        lines.append(f"Time: {sum(seconds) / len(seconds):.0f} s a mutant on one worker, "
                     f"{sum(seconds) / 60:.1f} minutes of workers in all")
    ok = aside <= MAX_EQUIVALENT * (killed + survived + aside)
    if not ok:
        lines.append(f"Warning: {aside} equivalent mutants are more than "
                     f"{100 * MAX_EQUIVALENT:.0f} % of the run")
    lines += [f"Warning: {args.equivalent.name} names no mutant of today's code: {name}"
              for name in stale]
    return lines, ok


def interrupt(signum, frame):
    raise KeyboardInterrupt


def main():
    signal.signal(signal.SIGTERM, interrupt)  # stopped as by Ctrl-C: the workers' processes too
    args = options()
    per_file, sizes, digests, everything = {}, {}, {}, set()
    for path in sources(args.root, args.paths):
        text = (args.root / path).read_text()
        per_file[path], sizes[path] = mutants(path, text)
        digests[path] = hashlib.sha256(text.encode()).hexdigest()
        everything.update(m.name for m in per_file[path])
    chosen = sample(per_file, sizes, args.sample, args.seed) if args.sample is not None else \
        [m for path in sorted(per_file) for m in per_file[path]]
    equivalent = read_equivalent(args.equivalent)
    stale = [name for name in equivalent if name.split(":")[0] in per_file and
             name not in everything]
    args.work.mkdir(parents=True, exist_ok=True)
    results_path = args.work / "results.jsonl"
    results = read_results(results_path, digests)
    todo = [m for m in chosen if m.name not in equivalent and (
        m.name not in results or args.rerun and results[m.name]["outcome"] == SURVIVED)]
    print(f"mutate: {len(chosen)} mutants, {len(chosen) - len(todo)} of them recorded or set "
          f"aside; {len(todo)} to run", flush=True)
    failures = []
    if todo:
        lock, done = threading.Lock(), [0]

        def record(mutant, outcome, detail, seconds):
            entry = {"mutant": mutant.name, "file": mutant.path, "digest": digests[mutant.path],
                     "outcome": outcome, "detail": detail, "seconds": round(seconds, 1)}
            with lock:
                with open(results_path, "a") as results_file:
                    results_file.write(json.dumps(entry) + "\n")
                results[mutant.name] = entry
                done[0] += 1
                print(f"[{done[0]}/{len(todo)}] {outcome:11} {seconds:4.0f} s  {mutant.name}"
                      + (f"  ({detail})" if detail else ""), flush=True)

        start = time.monotonic()
        failures = run_all(args, todo, project_files(args.root, args.work), record)
        print(f"mutate: {done[0]} mutants in {(time.monotonic() - start) / 60:.1f} minutes on "
              f"{min(args.workers, len(todo))} workers", flush=True)
    lines, ok = report(args, chosen, results, equivalent, stale)
    (args.work / "report.txt").write_text("\n".join(lines) + "\n")
    print("\n" + "\n".join(lines))
    for failure in failures:
        print(f"mutate: {failure}", file=sys.stderr)
    return 2 if failures else 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Runs a sample of mutants against the test suite: each mutant is one small change to one
source file of src/, applied, built and tested, then taken back (Python's standard library only).

  scripts/mutation-sample.py [--list FILE] [--build FOLDER] [--only ID ...] [--jobs N]
                             [--output FILE.md] [--no-baseline]

The list (default scripts/mutants.txt) says how a mutant is written. For each one the anchor
must occur exactly once; the file is changed, the build folder (default build-mutants,
configured on first use: RelWithDebInfo, ccache where installed, no benchmarks, no header checks) is built and
the test suite runs under ctest with QT_QPA_PLATFORM=offscreen. A mutant is
  killed          a test failed or timed out,
  survived        every test passed,
  build error     the changed code did not build (not a kill),
  anchor missing  the anchor was not found exactly once.
The tests of the mutated folder (bin/tests_<folder>) run first, so that most kills cost seconds;
only a mutant they do not catch goes through the whole suite. The file is restored byte for
byte after each mutant, also on Ctrl-C or an error; the run ends by checking that the source
tree is as it was.

Before the first mutant the unchanged tree is built and tested once (skipped with
--no-baseline): a suite that fails on its own would make every mutant look killed.

With --output, the results go to a Markdown file, rewritten after every mutant. With --only,
the rows of the other mutants already in that file are kept, so that a single mutant can be
run again.
"""

import argparse
import datetime
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS = ("id", "file", "find", "replace", "why", "note")
RESULTS = ("killed", "survived", "build error", "anchor missing", "not run")


@dataclass
class Mutant:
    id: str
    file: str
    find: str
    replace: str
    why: str
    note: str = ""
    # Filled in by the run.
    used_file: str = ""
    result: str = "not run"
    by: str = ""
    seconds: float = 0.0
    extra: dict = field(default_factory=dict)


def read_list(path):
    """The mutants of a list file, in order; exits with a message on a malformed list."""
    mutants, block, errors = [], {}, []

    def finish(line_number):
        if not block:
            return
        missing = [k for k in ("id", "file", "find", "replace", "why") if k not in block]
        if missing:
            errors.append(f"{path}:{line_number}: a mutant without {', '.join(missing)}")
        else:
            mutants.append(Mutant(**block))
        block.clear()

    with open(path, encoding="utf-8") as text:
        lines = text.read().split("\n")
    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            finish(number)
            continue
        key, colon, value = line.partition(":")
        if not colon or key not in KEYS:
            errors.append(f"{path}:{number}: not a \"key: value\" line: {line}")
            continue
        if key in block:
            errors.append(f"{path}:{number}: \"{key}\" given twice in one mutant")
        block[key] = value[1:] if value.startswith(" ") else value
    finish(len(lines))
    seen = set()
    for m in mutants:
        if m.id in seen:
            errors.append(f"{path}: the id {m.id} is used twice")
        seen.add(m.id)
        if not m.find:
            errors.append(f"{path}: {m.id} has an empty anchor")
    if errors:
        sys.exit("\n".join(errors))
    return mutants


def source_files():
    for folder, _, names in os.walk(os.path.join(ROOT, "src")):
        for name in names:
            yield os.path.relpath(os.path.join(folder, name), ROOT)


def locate(m):
    """The file (relative to the tree) where the anchor occurs exactly once, or None. The named
    file first; else the one file of src/ that holds the anchor, once."""
    find = m.find.encode()
    named = os.path.join(ROOT, m.file)
    if os.path.isfile(named):
        with open(named, "rb") as f:
            if f.read().count(find) == 1:
                return m.file
    holders = []
    for path in source_files():
        with open(os.path.join(ROOT, path), "rb") as f:
            count = f.read().count(find)
        if count:
            holders.append((path, count))
    if len(holders) == 1 and holders[0][1] == 1:
        return holders[0][0]
    return None


def run(command, log, timeout, cwd=ROOT, env=None):
    """Runs a command in its own process group, its output appended to `log`. Returns the exit
    code and the output, or None for a command that ran out of time (its group is ended)."""
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(command) + "\n").encode())
        out.flush()
        start = out.tell()
        process = subprocess.Popen(command, cwd=cwd, env=env, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            code = process.wait(timeout=timeout)
        except BaseException:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
            code = None
            if not isinstance(sys.exc_info()[1], subprocess.TimeoutExpired):
                raise
    with open(log, "rb") as f:
        f.seek(start)
        output = f.read().decode(errors="replace")
    return code, output


class Runner:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(os.path.join(ROOT, args.build))
        self.log = os.path.join(self.build, "mutation-sample.log")
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.folder_tests = {}  # folder -> whether its test program passes on the unchanged tree

    def configure(self):
        if os.path.exists(os.path.join(self.build, "build.ninja")):
            return
        os.makedirs(self.build, exist_ok=True)
        # ccache keeps the rebuild after each restore short; without it every mutant costs two
        # builds of its file's dependants.
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        code, _ = run(["cmake", "-S", ROOT, "-B", self.build, "-G", "Ninja",
                       "-DCMAKE_BUILD_TYPE=RelWithDebInfo", *launcher,
                       "-DSKYTRACE_BUILD_BENCH=OFF", "-DSKYTRACE_HEADER_CHECKS=OFF"],
                      self.log, None)
        if code != 0:
            sys.exit(f"configuring {self.build} failed; see {self.log}")

    def build_tree(self):
        """True when the tree builds (the tests and the programs they run)."""
        code, _ = run(["cmake", "--build", self.build, "-j", str(self.args.jobs)], self.log,
                      self.args.build_timeout)
        return code == 0

    def stop_local_server(self):
        # A suite stopped at its first failure may leave the tests' local web server running.
        state = os.path.join(self.build, "online-server")
        if os.path.exists(os.path.join(state, "pid")):
            run([sys.executable, os.path.join(ROOT, "scripts", "http-server.py"), "stop", state],
                self.log, 60)

    def folder_program(self, folder):
        path = os.path.join(self.build, "bin", "tests_" + folder)
        return path if os.path.isfile(path) and os.access(path, os.X_OK) else None

    def run_folder_tests(self, folder):
        """The first failing test of the folder's own test program, "" when all pass, None when
        there is no usable program."""
        program = self.folder_program(folder)
        if not program or not self.folder_tests.get(folder, True):
            return None
        # The program runs where ctest runs it: in its folder of the build tree.
        cwd = os.path.join(self.build, "tests", folder)
        code, output = run([program, "--gtest_brief=1"], self.log, self.args.folder_timeout,
                           cwd=cwd if os.path.isdir(cwd) else self.build, env=self.env)
        if code is None:
            return f"tests_{folder} (timed out)"
        if code == 0:
            return ""
        failed = re.search(r"^\[  FAILED  \] (\S+)", output, re.MULTILINE)
        return failed.group(1) if failed else f"tests_{folder} (exit {code})"

    def run_suite(self):
        """The first failing test of the whole suite, "" when all pass."""
        command = ["ctest", "--test-dir", self.build, "-j", str(self.args.jobs), "--timeout",
                   str(self.args.test_timeout), "--stop-on-failure", "--output-on-failure"]
        try:
            code, output = run(command, self.log, self.args.suite_timeout, env=self.env)
        finally:
            self.stop_local_server()
        if code is None:
            return "ctest (timed out)"
        if code == 0:
            return ""
        failures = output.split("The following tests FAILED:")[-1]
        listed = re.findall(r"^\s+\d+ - (\S+) \(([^)]*)\)", failures, re.MULTILINE)
        if listed:
            name, why = listed[0]
            return name if why == "Failed" else f"{name} ({why.lower()})"
        return f"ctest (exit {code})"

    def baseline(self):
        """Builds and tests the unchanged tree; exits when it does not pass."""
        started = time.monotonic()
        if not self.build_tree():
            sys.exit(f"the unchanged tree does not build; see {self.log}")
        built = time.monotonic()
        folders = sorted({path.split(os.sep)[1] for path in source_files()})
        for folder in folders:
            if self.folder_program(folder):
                self.folder_tests[folder] = self.run_folder_tests(folder) == ""
        failed = self.run_suite()
        if failed:
            sys.exit(f"the unchanged tree fails its tests ({failed}); see {self.log}")
        print(f"baseline: build {built - started:.0f} s, tests {time.monotonic() - built:.0f} s",
              flush=True)

    def judge(self, m):
        """Applies the mutant, judges it, and restores the file, whatever happens."""
        started = time.monotonic()
        try:
            used = locate(m)
            if used is None:
                m.result, m.used_file = "anchor missing", ""
                return
            m.used_file = used
            path = os.path.join(ROOT, used)
            with open(path, "rb") as f:
                original = f.read()
            try:
                with open(path, "wb") as f:
                    f.write(original.replace(m.find.encode(), m.replace.encode(), 1))
                if not self.build_tree():
                    m.result, m.by = "build error", ""
                    return
                folder = used.split(os.sep)[1]
                by = self.run_folder_tests(folder) or self.run_suite()
                m.result, m.by = ("killed", by) if by else ("survived", "")
            finally:
                with open(path, "wb") as f:
                    f.write(original)
        finally:
            m.seconds = time.monotonic() - started


def cell(text):
    return text.replace("\\", "\\\\").replace("|", "\\|").replace("\n", " ")


def uncell(text):
    return re.sub(r"\\(.)", r"\1", text.strip())


def code_cell(text):
    if not text:
        return "(removed)"
    ticks = "``" if "`" in text else "`"
    return f"{ticks} {cell(text)} {ticks}" if ticks == "``" else f"`{cell(text)}`"


HEADER = "| # | id | file | change | result | caught by | s | why |"


def previous_rows(path):
    """Results of an earlier run in the Markdown file: id -> (result, by, seconds, file)."""
    rows = {}
    if not path or not os.path.exists(path):
        return rows
    with open(path, encoding="utf-8") as text:
        for line in text:
            if not line.startswith("| ") or line.startswith(HEADER[:12]):
                continue
            cells = [uncell(c) for c in re.split(r"(?<!\\)\|", line.strip())[1:-1]]
            if len(cells) != 8 or cells[4] not in RESULTS:
                continue
            try:
                seconds = float(cells[6])
            except ValueError:
                seconds = 0.0
            rows[cells[1]] = (cells[4], cells[5], seconds, cells[2])
    return rows


def summary(mutants):
    counts = {r: sum(1 for m in mutants if m.result == r) for r in RESULTS}
    parts = [f"{counts['killed']} killed", f"{counts['survived']} survived",
             f"{counts['build error']} build errors", f"{counts['anchor missing']} anchors missing"]
    if counts["not run"]:
        parts.append(f"{counts['not run']} not run")
    return f"{len(mutants)} mutants: " + ", ".join(parts)


def write_markdown(path, mutants, title, started, done, only):
    # The source the mutants were made from: the last commit that changed src/.
    commit = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%h", "--", "src"],
                            capture_output=True, text=True).stdout.strip()
    run = f"run {started:%Y-%m-%d %H:%M}"
    if only:
        run += f" for {len(only)} of them (the other rows come from an earlier run)"
    lines = [f"# {title}", "",
             f"Source of commit {commit}; {run}"
             + ("" if done else " (still running: the rows \"not run\" are to come)") + ".",
             "Made by `scripts/mutation-sample.py` from `scripts/mutants.txt`; run again with",
             "`nice -n 19 scripts/mutation-sample.py --output FILE.md` (see the script's help).",
             "",
             f"**{summary(mutants)}.**", "", HEADER,
             "| ---: | --- | --- | --- | --- | --- | ---: | --- |"]
    for number, m in enumerate(mutants, 1):
        change = f"{code_cell(m.find)} → {code_cell(m.replace)}"
        why = m.why + (f" — **{m.note}**" if m.note and m.result == "survived" else "")
        lines.append(f"| {number} | {cell(m.id)} | {cell(m.used_file or m.file)} | {change} | "
                     f"{m.result} | {cell(m.by)} | {m.seconds:.0f} | {cell(why)} |")
    survivors = [m for m in mutants if m.result == "survived"]
    if survivors:
        lines += ["", "## Survivors", ""]
        lines += [f"- {m.id}: {m.why}." + (f" {m.note}" if m.note else "") for m in survivors]
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    os.replace(temporary, path)


def interrupted(*_):
    raise KeyboardInterrupt()


def git_status():
    return subprocess.run(["git", "-C", ROOT, "status", "--porcelain", "--", "src"],
                          capture_output=True, text=True).stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", default=os.path.join(ROOT, "scripts", "mutants.txt"))
    parser.add_argument("--build", default="build-mutants", help="build folder, from the tree")
    parser.add_argument("--only", nargs="+", metavar="ID", help="run only these mutants")
    parser.add_argument("--jobs", type=int, default=2, help="parallel build and test jobs")
    parser.add_argument("--output", help="write the results as a Markdown table to this file")
    parser.add_argument("--title", default="Mutation sample", help="the Markdown file's heading")
    parser.add_argument("--no-baseline", action="store_true",
                        help="skip building and testing the unchanged tree first")
    parser.add_argument("--test-timeout", type=int, default=120, help="seconds per test")
    parser.add_argument("--folder-timeout", type=int, default=600,
                        help="seconds for a folder's test program")
    parser.add_argument("--suite-timeout", type=int, default=2400,
                        help="seconds for the whole suite")
    parser.add_argument("--build-timeout", type=int, default=3600, help="seconds for a build")
    args = parser.parse_args()

    mutants = read_list(args.list)
    if args.only:
        unknown = set(args.only) - {m.id for m in mutants}
        if unknown:
            sys.exit("unknown mutant ids: " + " ".join(sorted(unknown)))
    if git_status():
        sys.exit("src/ has changes of its own; commit or stash them first:\n" + git_status())
    chosen = [m for m in mutants if not args.only or m.id in args.only]
    if args.only:  # the others keep what an earlier run found
        earlier = previous_rows(args.output)
        for m in mutants:
            if m.id not in args.only and m.id in earlier:
                m.result, m.by, m.seconds, m.used_file = earlier[m.id]

    # A stop by signal goes through the same clean-up as Ctrl-C.
    signal.signal(signal.SIGTERM, interrupted)
    runner = Runner(args)
    runner.configure()
    started = datetime.datetime.now()
    clock = time.monotonic()
    try:
        if not args.no_baseline:
            runner.baseline()
        for number, m in enumerate(chosen, 1):
            runner.judge(m)
            print(f"[{number}/{len(chosen)}] {m.id}: {m.result}"
                  + (f" by {m.by}" if m.by else "") + f" ({m.seconds:.0f} s)", flush=True)
            if args.output:
                write_markdown(args.output, mutants, args.title, started,
                               number == len(chosen), args.only)
    except KeyboardInterrupt:
        print("stopped; the mutated file is restored", file=sys.stderr)
        return 130
    finally:
        changed = git_status()
        if changed:
            print("the source tree is NOT as it was:\n" + changed, file=sys.stderr)

    width = max(len(m.id) for m in chosen)
    print()
    for m in chosen:
        print(f"{m.id:<{width}}  {m.result:<14}  {m.seconds:6.0f} s  {m.by}")
    print(f"\n{summary(chosen)} (in {(time.monotonic() - clock) / 60:.0f} min)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

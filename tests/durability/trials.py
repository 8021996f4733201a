#!/usr/bin/env python3
"""Durability trials: every tavora-cli command that writes is killed with SIGKILL, and
interrupted with SIGINT (Ctrl+C), at a random moment, then the data folder is checked:

  1. every SQLite database passes PRAGMA integrity_check;
  2. the stopped run is all or nothing: each database (its rows) and each other file the command
     writes is exactly as before the command or exactly as after a run that was not stopped;
  3. the next start (tavora-cli info) succeeds, the databases still pass the check, and no work
     folder of an interrupted backup or restore is left.

A SIGINT to a long command (download, import, backup, restore, sync, print) must moreover end
it within a few seconds, by itself: exit 130 with a line saying it was cancelled, or 0 when the
work was complete before the signal was seen (then everything is as after the run), with its
temporary files already gone. Other commands end as on any signal.

Adding a command is one entry in WRITERS below.

  tests/durability/trials.py [--build DIR] [--trials N] [--signals KILL,INT] [--seed S]
                             [--only NAME]... [--keep]

--trials is the number of runs per command and per signal. Prints one line per trial and ends
with "N passed, N failed"; exit 1 when a trial failed.
"""

import argparse
import contextlib
import hashlib
import itertools
import os
import random
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Dict, List, Optional, Tuple

from kabuplus_server import KabuPlusServer

ROOT_NAME = "Tavora"
TODAY = "2026-12-09"
RUN_TIMEOUT = 120  # seconds for one command that is not killed
# Seconds a long command may take to end after SIGINT (a stalled transfer used to take 30).
CANCEL_BOUND = 10
CANCELLED_EXIT = 130
# Never compared: the log (every run writes it), this run's temporary files, the lock.
IGNORED_DIRS = {"log", "tmp"}
IGNORED_NAMES = {".lock"}
# Hidden work folders a killed command may leave; its next run removes them (a backup's partial
# copy, a restore's staging copy and the old folder it replaces).
SCRATCH = re.compile(r"^\.partial-|^\.[^/]+\.(restoring|previous)$")
# Backups are named by the time they were made: compared under one name.
BACKUP_NAME = re.compile(r"^(data/buckup/)\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d(_\d+)?(?=/|$)")
SQLITE_HEADER = b"SQLite format 3\x00"
EMPTY_FILE = "file:" + hashlib.sha256(b"").hexdigest()


@dataclass
class Writer:
    """One command that writes, and how to bring a data folder into the state before it."""

    name: str
    # tavora-cli arguments; "{work}" stands for the trial's folder outside the data folder,
    # "{backup}" for the name of the newest price backup.
    argv: List[str]
    # Brings a fresh data folder (env.appdata) into the state before the command.
    prepare: Callable[["Env"], None] = lambda env: env.cli(["info"])
    # Files outside the data folder that the command writes ("{work}/..."): all or nothing each.
    outputs: List[str] = field(default_factory=list)
    # Of the outputs, those the command reads but must never change (a peer's file).
    untouched: List[str] = field(default_factory=list)
    # A first start completes what a killed one began: after the next start the data folder
    # must be as after an uninterrupted run.
    next_start_completes: bool = False
    # Outputs that differ between two uninterrupted runs (a PDF's creation time) cannot be
    # compared byte for byte; when present after a kill each must pass this check of a whole file.
    whole_output: Optional[Callable[[Path], bool]] = None
    # The day the command runs on (TAVORA_TODAY).
    today: str = TODAY
    # The command fetches from the price server (Env.server).
    needs_server: bool = False
    # SIGINT and SIGTERM cancel it (exit 130, or 0 when it was already complete).
    interruptible: bool = False


class Env:
    """A data folder, a work folder and the program, for one preparation or trial."""

    # The price server of the commands that download (started by main when one is run).
    server: Optional[KabuPlusServer] = None

    def __init__(self, cli: Path, base: Path, today: str = TODAY):
        self.cli_path = cli
        self.base = base
        self.today = today
        self.appdata = base / "appdata"
        self.work = base / "work"
        self.appdata.mkdir(parents=True, exist_ok=True)
        self.work.mkdir(parents=True, exist_ok=True)

    @property
    def root(self) -> Path:
        return self.appdata / ROOT_NAME

    def environ(self) -> Dict[str, str]:
        env = dict(os.environ)
        env.update(TAVORA_APPDATA=str(self.appdata), TAVORA_TODAY=self.today, QT_QPA_PLATFORM="offscreen")
        # The reference-data server is never reachable from the trials.
        env.pop("TAVORA_DATA_DIR", None)
        return env

    def expand(self, argv: List[str]) -> List[str]:
        return [a.replace("{work}", str(self.work)).replace("{appdata}", str(self.appdata))
                .replace("{backup}", self.newest_backup()) for a in argv]

    def newest_backup(self) -> str:
        folder = self.root / "data" / "buckup"
        names = sorted(p.name for p in folder.iterdir() if not p.name.startswith(".")) if folder.is_dir() else []
        return names[-1] if names else ""

    def cli(self, argv: List[str], stdin: bytes = b"") -> None:
        """Runs a preparation step; it must succeed."""
        done = subprocess.run([str(self.cli_path)] + self.expand(argv), env=self.environ(), input=stdin,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=RUN_TIMEOUT)
        if done.returncode != 0:
            raise RuntimeError(f"tavora-cli {' '.join(argv)} failed: {done.stderr.decode(errors='replace')}")

    def start(self, argv: List[str]) -> subprocess.Popen:
        return subprocess.Popen([str(self.cli_path)] + self.expand(argv), env=self.environ(),
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def started_folder(env: Env) -> None:
    env.cli(["info"])


def backed_up_then_changed(env: Env) -> None:
    """A backup of the prices, then live prices that differ from it (so a restore changes them)."""
    env.cli(["info"])
    env.cli(["backup"])
    con = sqlite3.connect(str(env.root / "data" / "kabukadb" / "kabuka.db"))
    with con:
        con.execute("DELETE FROM kabukadb WHERE date >= '2026-01-01'")
        con.execute("UPDATE kabukadb SET volume = volume + 1 WHERE code = '0001'")
    con.close()


def account_on_the_server(env: Env) -> None:
    """A started folder whose KABU+ account and address point at the trials' server."""
    env.cli(["info"])
    assert Env.server is not None
    env.cli(["config", "kabuplus_url", Env.server.url])
    env.cli(["config", "kabuplus_cafile", Env.server.cafile])
    env.cli(["config", "kabuplusid", "trial"])
    env.cli(["config", "kabupluspw", "--stdin"], stdin=b"trial-password\n")


# Prices the import and sync trials bring in: 1,000 codes x 100 days of 2025, enough rows that
# a kill lands inside the write.
NEW_PRICE_CODES = [str(c) for c in range(6000, 7000)]
NEW_PRICE_DAYS = [f"2025-{m:02d}-{d:02d}" for m in range(1, 11) for d in range(1, 11)]


def new_price_rows():
    for code in NEW_PRICE_CODES:
        for i, day in enumerate(NEW_PRICE_DAYS):
            base = 1000 + i
            yield code, day, base, base + 5, base - 5, base + 1, 10000 + i


def prices_csv(env: Env) -> None:
    """A started folder and one price CSV of new rows in the work folder."""
    env.cli(["info"])
    with open(env.work / "prices.csv", "w", encoding="utf-8") as f:
        f.write("code,date,open,high,low,close,volume\n")
        for row in new_price_rows():
            f.write(",".join(str(v) for v in row) + "\n")


def companion_warehouse(env: Env) -> None:
    """A started folder and the companion program's warehouse beside it holding new rows."""
    env.cli(["info"])
    folder = env.appdata / "moravel" / "data" / "kabukadb"
    folder.mkdir(parents=True)
    con = sqlite3.connect(str(folder / "kabuka.db"))
    with con:
        con.execute("CREATE TABLE sync_kabukadb (code TEXT NOT NULL, date TEXT NOT NULL, open REAL, "
                    "high REAL, low REAL, close REAL, volume INTEGER, PRIMARY KEY(code, date))")
        con.executemany("INSERT INTO sync_kabukadb VALUES (?,?,?,?,?,?,?)", new_price_rows())
    con.close()


def whole_pdf(path: Path) -> bool:
    data = path.read_bytes()
    return data.startswith(b"%PDF-") and data.rstrip().endswith(b"%%EOF")


# The commands that write. Add yours here (one entry); prepare a folder as the command needs it.
WRITERS: List[Writer] = [
    Writer("first-start", ["info"], prepare=lambda env: None, next_start_completes=True),
    Writer("config", ["config", "kabuplusid", "trial-account"], prepare=started_folder),
    Writer("render", ["render", "0001", "--period", "w", "--out", "{work}/chart.png"],
           prepare=started_folder, outputs=["{work}/chart.png"]),
    Writer("print", ["print", "0001", "--period", "w", "--out", "{work}/chart.pdf"],
           prepare=started_folder, outputs=["{work}/chart.pdf"], whole_output=whole_pdf, interruptible=True),
    Writer("backup", ["backup"], prepare=started_folder, interruptible=True),
    Writer("restore", ["restore", "{backup}"], prepare=backed_up_then_changed, interruptible=True),
    # Two missing days (the bundled prices end on 2026-12-08) with the pause between them.
    Writer("download", ["download"], prepare=account_on_the_server, today="2026-12-10",
           needs_server=True, interruptible=True),
    # One missing day: fetched, then registered in one write.
    Writer("download-register", ["download", "--register"], prepare=account_on_the_server,
           today="2026-12-09", needs_server=True, interruptible=True),
    # One file: each file is registered all or nothing.
    Writer("import", ["import", "{work}/prices.csv", "--encoding", "UTF-8", "--start", "2", "--no-backup",
                      "--column", "code=1", "--column", "date=2", "--column", "open=3", "--column", "high=4",
                      "--column", "low=5", "--column", "close=6", "--column", "volume=7"],
           prepare=prices_csv, interruptible=True),
    # The companion's file is read, never written.
    Writer("sync", ["sync"], prepare=companion_warehouse,
           outputs=["{appdata}/moravel/data/kabukadb/kabuka.db"],
           untouched=["{appdata}/moravel/data/kabukadb/kabuka.db"], interruptible=True),
]
# The days the trials' price server offers.
SERVER_DAYS = [20261209, 20261210]


# ---- looking at a data folder ----

def is_sqlite(path: Path) -> bool:
    try:
        with open(path, "rb") as f:
            return f.read(16) == SQLITE_HEADER
    except OSError:
        return False


def compared_files(root: Path) -> List[Path]:
    files = []
    if not root.is_dir():
        return files
    for dirpath, dirnames, filenames in os.walk(root):
        rel = Path(dirpath).relative_to(root)
        if rel.parts and rel.parts[0] in IGNORED_DIRS:
            dirnames[:] = []
            continue
        dirnames[:] = [d for d in dirnames if not SCRATCH.search(d)]
        for name in filenames:
            if name in IGNORED_NAMES or name.endswith(("-journal", "-wal", "-shm")):
                continue
            files.append(Path(dirpath) / name)
    return files


def database_digest(path: Path) -> str:
    """The rows of every table, order-free; a database without rows reads as absent."""
    con = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    try:
        h = hashlib.sha256()
        tables = [r[0] for r in con.execute(
            "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name")]
        rows_seen = False
        for table in tables:
            rows = sorted(repr(r) for r in con.execute(f'SELECT * FROM "{table}"'))
            if rows:
                rows_seen = True
                h.update(table.encode() + b"\0" + "\n".join(rows).encode(errors="surrogateescape"))
        return "db:" + h.hexdigest() if rows_seen else "absent"
    finally:
        con.close()


def integrity(path: Path) -> Optional[str]:
    """None when the database is sound, else what is wrong."""
    try:
        con = sqlite3.connect(str(path))
        try:
            result = [r[0] for r in con.execute("PRAGMA integrity_check")]
        finally:
            con.close()
    except sqlite3.Error as e:
        return str(e)
    return None if result == ["ok"] else "; ".join(result[:5])


def snapshot(root: Path, outputs: List[Path]) -> Dict[str, str]:
    """What each file holds: database rows or bytes. Missing outputs read as absent."""
    state = {}
    for path in compared_files(root):
        key = BACKUP_NAME.sub(r"\1{stamp}", str(path.relative_to(root)))
        state[key] = database_digest(path) if is_sqlite(path) else \
            "file:" + hashlib.sha256(path.read_bytes()).hexdigest()
    for out in outputs:
        state[str(out)] = ("file:" + hashlib.sha256(out.read_bytes()).hexdigest()) if out.exists() \
            else "absent"
    return state


def leftovers(env: Env) -> List[str]:
    """Temporary files and work folders in the data folder: none may outlive a command that ended
    by itself, nor a start."""
    found = []
    if (env.root / "tmp").exists():
        found.append("tmp")
    for dirpath, dirnames, filenames in os.walk(env.root):
        rel = Path(dirpath).relative_to(env.root)
        for name in dirnames:
            if SCRATCH.search(name):
                found.append(str(rel / name))
        for name in filenames:
            if name.endswith("-journal") or ".tmp-" in name:
                found.append(str(rel / name))
    return sorted(found)


def work_files(env: Env) -> List[str]:
    return sorted(str(p.relative_to(env.work)) for p in env.work.rglob("*") if p.is_file())


def based(name, root: Path) -> str:
    """A path or snapshot key with the trial's own folder written as {base}, so runs in different
    folders compare."""
    return str(name).replace(str(root), "{base}")


def based_state(state: Dict[str, str], root: Path) -> Dict[str, str]:
    return {based(k, root): v for k, v in state.items()}


def databases(folder: Path, outputs: List[Path]) -> List[Path]:
    found = [p for p in compared_files(folder) if is_sqlite(p)]
    found += [p for p in outputs if p.exists() and is_sqlite(p)]
    return found


# ---- one command ----

@dataclass
class Reference:
    template: Path      # the prepared folder every trial starts from
    before: Dict[str, str]
    after: Dict[str, str]
    unstable: List[str]  # files that differ between two uninterrupted runs (not compared)
    duration: float


def outputs_of(writer: Writer, env: Env) -> List[Path]:
    return [Path(p) for p in env.expand(writer.outputs)]


def run_whole(writer: Writer, env: Env) -> float:
    began = time.monotonic()
    proc = env.start(writer.argv)
    _, err = proc.communicate(timeout=RUN_TIMEOUT)
    if proc.returncode != 0:
        raise RuntimeError(f"{writer.name}: the uninterrupted run failed ({proc.returncode}): "
                           f"{err.decode(errors='replace')}")
    return time.monotonic() - began


def make_reference(writer: Writer, cli: Path, scratch: Path) -> Reference:
    template = scratch / writer.name / "template"
    writer.prepare(Env(cli, template, writer.today))
    afters, durations = [], []
    for k in range(2):
        copy = scratch / writer.name / f"reference{k}"
        shutil.copytree(template, copy, symlinks=True)
        env = Env(cli, copy, writer.today)
        durations.append(run_whole(writer, env))
        afters.append(snapshot(env.root, outputs_of(writer, env)))
    env = Env(cli, template, writer.today)
    before = snapshot(env.root, outputs_of(writer, env))
    # Outputs are compared by their name inside the trial's own folder.
    afters = [based_state(a, scratch / writer.name / f"reference{i}") for i, a in enumerate(afters)]
    before = based_state(before, template)
    unstable = sorted(k for k in set(afters[0]) | set(afters[1]) if afters[0].get(k) != afters[1].get(k))
    return Reference(template, before, afters[0], unstable, max(durations))


def is_database_key(key: str, ref: Reference) -> bool:
    """True when an uninterrupted run leaves a database under this key: its rows, or a data-folder
    database without rows (which reads as "absent", as a new fileopenhis.db does)."""
    if "db:" in (ref.before.get(key, "")[:3], ref.after.get(key, "")[:3]):
        return True
    return not key.startswith("{base}") and ref.after.get(key) == "absent"


def interrupted_problems(writer: Writer, ref: Reference, env: Env, returncode: int, err: bytes,
                         took: float, work_before: List[str]) -> List[str]:
    """What is wrong with the way a long command ended after SIGINT (before the next start)."""
    problems = []
    if took > CANCEL_BOUND:
        problems.append(f"it took {took:.1f} s to end after SIGINT")
    if returncode == -signal.SIGINT:
        # The signal came before the program had set up its handler: it had done nothing yet.
        state = based_state(snapshot(env.root, outputs_of(writer, env)), env.base)
        if any(state.get(k, "absent") != ref.before.get(k, "absent")
               for k in set(state) | set(ref.before) if k not in ref.unstable):
            problems.append("ended by SIGINT after it had begun writing")
        return problems
    if returncode not in (0, CANCELLED_EXIT):
        problems.append(f"exit {returncode} after SIGINT (expected {CANCELLED_EXIT} or 0): "
                        f"{err.decode(errors='replace')[-300:]}")
    if returncode == CANCELLED_EXIT and b"tavora-cli: cancelled: " not in err:
        problems.append("exit 130 without the line saying it was cancelled")
    if returncode == 0:
        state = based_state(snapshot(env.root, outputs_of(writer, env)), env.base)
        whole_keys = {based(out, env.base) for out in outputs_of(writer, env)} if writer.whole_output else set()
        for key in sorted(set(ref.after) | set(state)):
            if key not in ref.unstable and key not in whole_keys and \
                    state.get(key, "absent") != ref.after.get(key, "absent"):
                problems.append(f"exit 0 after SIGINT but {key} is not as after the command")
    if left := leftovers(env):
        problems.append(f"temporary files left: {', '.join(left)}")
    outputs = {str(Path(p).relative_to(env.work)) for p in outputs_of(writer, env) if str(p).startswith(str(env.work))}
    if extra := [f for f in work_files(env) if f not in work_before and f not in outputs]:
        problems.append(f"temporary files left beside the outputs: {', '.join(extra)}")
    return problems


def trial(writer: Writer, ref: Reference, cli: Path, folder: Path, delay: float,
          sig: signal.Signals) -> Tuple[List[str], bool, str]:
    """Runs one trial stopped by `sig`: what went wrong (empty: passed), whether the signal came
    before the command had finished, and how the command ended."""
    shutil.copytree(ref.template, folder, symlinks=True)
    env = Env(cli, folder, writer.today)
    outputs = outputs_of(writer, env)
    work_before = work_files(env)
    proc = env.start(writer.argv)
    time.sleep(delay)
    stopped = proc.poll() is None
    sent = time.monotonic()
    if stopped:
        proc.send_signal(sig)
    try:
        _, err = proc.communicate(timeout=RUN_TIMEOUT)
    except subprocess.TimeoutExpired:
        proc.kill()
        _, err = proc.communicate()
    took = time.monotonic() - sent
    problems = []
    if not stopped and proc.returncode != 0:
        problems.append(f"the command failed on its own ({proc.returncode})")
    if stopped and sig == signal.SIGINT and writer.interruptible:
        problems += interrupted_problems(writer, ref, env, proc.returncode, err, took, work_before)

    # Look at a copy, so that opening the databases (which rolls back a hot journal) does not
    # do the next start's work for it.
    look = folder.parent / (folder.name + "-look")
    shutil.copytree(folder, look, symlinks=True)
    look_env = Env(cli, look, writer.today)
    for db in databases(look_env.root, outputs_of(writer, look_env)):
        if (bad := integrity(db)) is not None:
            problems.append(f"integrity_check {db.relative_to(look)}: {bad}")
    state = snapshot(look_env.root, outputs_of(writer, look_env))
    state = based_state(state, look)
    for path in look_env.expand(writer.untouched):
        key = based(path, look)
        if state.get(key, "absent") != ref.before.get(key, "absent"):
            problems.append(f"{key} was changed; the command must only read it")
    if writer.whole_output:
        for out in outputs_of(writer, look_env):
            if out.exists() and not writer.whole_output(out):
                problems.append(f"{out.relative_to(look)} is not a whole file")
    shutil.rmtree(look, ignore_errors=True)
    if not writer.next_start_completes:
        whole_keys = {based(out, folder) for out in outputs} if writer.whole_output else set()
        for key in sorted(set(ref.before) | set(ref.after) | set(state)):
            if key in ref.unstable or key in whole_keys:
                continue  # differs run to run (a PDF's creation time): checked as a whole file above
            now = state.get(key, "absent")
            if now == EMPTY_FILE and is_database_key(key, ref):
                now = "absent"  # SQLite made the file but was killed before writing its first page
            if now != ref.before.get(key, "absent") and now != ref.after.get(key, "absent"):
                problems.append(f"{key} is neither as before nor as after the command")

    nxt = subprocess.run([str(cli), "info"], env=env.environ(), stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, timeout=RUN_TIMEOUT)
    if nxt.returncode != 0:
        problems.append(f"the next start failed ({nxt.returncode}): {nxt.stderr.decode(errors='replace')[:300]}")
    for db in databases(env.root, outputs):
        if (bad := integrity(db)) is not None:
            problems.append(f"after the next start, integrity_check {db.relative_to(folder)}: {bad}")
    if nxt.returncode == 0 and (left := [p for p in leftovers(env) if SCRATCH.search(Path(p).name)]):
        problems.append(f"the next start left: {', '.join(left)}")
    if writer.next_start_completes and nxt.returncode == 0:
        state = based_state(snapshot(env.root, outputs), folder)
        for key in sorted(set(ref.after) | set(state)):
            if key not in ref.unstable and state.get(key, "absent") != ref.after.get(key, "absent"):
                problems.append(f"{key}: the next start did not complete what the killed one began")
    ended = f"exit {proc.returncode}" if proc.returncode >= 0 else f"signal {-proc.returncode}"
    return problems, stopped, f"{ended} after {took:.2f} s" if stopped else ended


SIGNALS = {"KILL": signal.SIGKILL, "INT": signal.SIGINT}


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build folder holding bin/tavora-cli")
    parser.add_argument("--trials", type=int, default=10, help="stopped runs per command and signal")
    parser.add_argument("--signals", default="KILL,INT", help="the signals that stop the runs: KILL, INT")
    parser.add_argument("--seed", type=int, default=None, help="random seed (printed when not given)")
    parser.add_argument("--only", action="append", default=[], help="run only this command (repeatable)")
    parser.add_argument("--keep", action="store_true", help="keep the folders of failed trials")
    args = parser.parse_args()

    cli = Path(args.build).resolve() / "bin" / "tavora-cli"
    if not cli.exists():
        print(f"trials: no {cli}; build first", file=sys.stderr)
        return 2
    names = {w.name for w in WRITERS}
    for only in args.only:
        if only not in names:
            print(f"trials: unknown command {only}; known: {', '.join(sorted(names))}", file=sys.stderr)
            return 2
    try:
        signals = [SIGNALS[name.strip().upper()] for name in args.signals.split(",") if name.strip()]
    except KeyError as e:
        print(f"trials: unknown signal {e}; known: {', '.join(SIGNALS)}", file=sys.stderr)
        return 2
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    print(f"trials: seed {seed}, {args.trials} per command and signal "
          f"({', '.join(s.name for s in signals)})")
    passed = failed = 0
    scratch = Path(tempfile.mkdtemp(prefix="tavora-trials-"))
    chosen = [w for w in WRITERS if not args.only or w.name in args.only]
    with contextlib.ExitStack() as cleanup:
        cleanup.callback(shutil.rmtree, scratch, ignore_errors=True)
        if any(w.needs_server for w in chosen):
            Env.server = cleanup.enter_context(KabuPlusServer(SERVER_DAYS))
        for writer in chosen:
            ref = make_reference(writer, cli, scratch)
            note = f" (not compared: {', '.join(ref.unstable)})" if ref.unstable else ""
            changed = sorted(k for k in set(ref.before) | set(ref.after)
                             if ref.before.get(k, "absent") != ref.after.get(k, "absent"))
            touched = [k for k in Env(cli, ref.template, writer.today).expand(writer.untouched)
                       if based(k, ref.template) in changed]
            if touched:
                print(f"trials: {writer.name} changed {', '.join(touched)}, which it must only read",
                      file=sys.stderr)
                return 1
            if not changed and not ref.unstable:
                print(f"trials: {writer.name} changed nothing; its trials would prove nothing", file=sys.stderr)
                return 1
            print(f"{writer.name}: an uninterrupted run takes {ref.duration:.2f} s and changes "
                  f"{', '.join(changed) or 'nothing compared'}{note}")
            for sig, k in itertools.product(signals, range(args.trials)):
                delay = rng.uniform(0, ref.duration * 1.1)
                folder = scratch / writer.name / f"trial{k}"
                problems, stopped, ended = trial(writer, ref, cli, folder, delay, sig)
                when = f"{sig.name} after {delay:.3f} s: {ended}" if stopped else \
                    f"finished before the {sig.name} at {delay:.3f} s"
                if problems:
                    failed += 1
                    print(f"  FAIL {writer.name} #{k} {when}:")
                    for p in problems:
                        print(f"       {p}")
                    if args.keep:
                        kept = Path(tempfile.mkdtemp(prefix=f"tavora-trial-{writer.name}-"))
                        shutil.copytree(folder, kept / "folder", symlinks=True)
                        print(f"       kept in {kept}")
                else:
                    passed += 1
                    print(f"  ok   {writer.name} #{k} {when}")
                shutil.rmtree(folder, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

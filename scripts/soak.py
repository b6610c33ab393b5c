"""The fault soak behind scripts/soak (see there)."""
import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

MACHINE = "YFB 32"
RUN_LIMIT = 150  # seconds; the CLI itself gives up after --max-time 120

def presses(n, last):
    """The machine's continue button pressed every few commands from just after a fault at command n
    to n + last, as an operator presses it until the job goes on: a press while the program still
    parks the tool is not taken, and when the controller's buffer is full only the pause's own
    commands follow the fault."""
    return [f"continue@{k}" for k in range(n + 8, n + last + 1, 4)]


# Each fault: (name, links it applies to, builder of the simulator's faults
# from the point and the job's command count, outcome it must end in).
# Outcomes: finished, lost (link lost), faulty (link faulty), stalled.
FAULTS = [
    ("none", ("tcp", "usb"), lambda n, total: [], "finished"),
    ("stop+continue", ("tcp", "usb"), lambda n, total: [f"stop@{n}"] + presses(n, 40), "finished"),
    ("overload+continue", ("tcp", "usb"), lambda n, total: [f"overload@{n}"] + presses(n, 40), "finished"),
    ("driver-error+continue", ("tcp", "usb"),
     lambda n, total: [f"driver-error=X@{n}"] + presses(n, 150), "finished"),
    ("wrong-echo+continue", ("tcp",), lambda n, total: [f"wrong-echo=1@{n}"] + presses(n, 60), "finished"),
    ("lost-echo+continue", ("tcp",), lambda n, total: [f"lost-echo=1@{n}"] + presses(n, 60), "finished"),
    ("drop", ("tcp", "usb"), lambda n, total: [f"drop@{n}"], "lost"),
    ("stall", ("tcp", "usb"), lambda n, total: [f"stall@{n}"], "lost"),
    ("garbage-status", ("tcp", "usb"), lambda n, total: [f"garbage-status=-1@{n}"], "faulty"),
    ("buffer-full", ("tcp", "usb"), lambda n, total: [f"buffer-full@{n}"], "stalled"),
]
# A second fault that only adds an event: told once, the job goes on (after
# the machine's continue where the event pauses it).
EXTRAS = [
    ("+driver-error", lambda n: [f"driver-error=Z@{n}"] + presses(n, 150), "Motor driver error"),
    ("+overload", lambda n: [f"overload@{n}"] + presses(n, 40), "Spindle overload!"),
]
EXIT_CODES = {"finished": 0, "lost": 3, "faulty": 3, "stalled": 5}


def generated_project(folder):
    """A plot file of 48 rings of 72 points each: a job of some thousands of commands."""
    lines = ["IN;SP1;"]
    import math
    for row in range(6):
        for col in range(8):
            cx, cy = 1200 + col * 1600, 1200 + row * 1600
            points = [(cx + round(600 * math.cos(a * math.pi / 36)), cy + round(600 * math.sin(a * math.pi / 36)))
                      for a in range(73)]
            lines.append(f"PU{points[0][0]},{points[0][1]};PD" + ",".join(f"{x},{y}" for x, y in points[1:]) + ";")
    lines.append("PU;SP0;")
    path = os.path.join(folder, "rings.plt")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    return path


def job_commands(cli, job_file):
    """The commands of a job file the controller runs from its job buffer (lower-case opcodes and the
    job-end record) as bytes, in order."""
    dump = subprocess.run([cli, "dump", job_file, "--machine", MACHINE, "--firmware", "7.20"],
                          capture_output=True, text=True, timeout=60)
    offsets = [int(m.group(1)) for m in re.finditer(r"^(\d{6})  ", dump.stdout, re.M)]
    data = open(job_file, "rb").read()
    bounds = offsets + [len(data)]
    commands = [data[bounds[i]:bounds[i + 1]] for i in range(len(offsets))]
    return [c for c in commands if c and (ord("a") <= c[0] <= ord("z") or c.startswith(b"SE"))]


def journal_commands(path):
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return [bytes.fromhex(line) for line in f.read().split("\n") if line.strip()]


def start_sim(sim, faults, journal):
    args = [sim, "--type", MACHINE, "--time-scale", "40", "--port", "0", "--identity-port", "0", "--journal", journal]
    for f in faults:
        args += ["--fault", f]
    process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    first = process.stdout.readline()
    ports = re.findall(r"port (\d+)", first)
    if len(ports) < 2:
        process.kill()
        raise RuntimeError("trazvik-sim did not tell its ports: " + first)
    return process, ports[0], ports[1]


def read_logs(data):
    events, job = "", ""
    for sub, ext in (("Logs", ".txt"), ("Jobs", ".xml")):
        folder = os.path.join(data, sub)
        if os.path.isdir(folder):
            for name in sorted(os.listdir(folder)):
                if name.endswith(ext):
                    text = open(os.path.join(folder, name), encoding="utf-8", errors="replace").read()
                    if sub == "Logs":
                        events += text
                    else:
                        job = text
    return events, job


def judge(expected, code, output, events, job, sent, executed, told):
    """What went wrong with one run; empty when its outcome is the expected one."""
    problems = []
    if code != EXIT_CODES[expected]:
        problems.append(f"exit {code}, expected {EXIT_CODES[expected]}")
    if executed is None:
        problems.append("no journal of the executed commands")
        executed = []
    if executed != sent[:len(executed)]:
        first = next(i for i in range(len(executed)) if i >= len(sent) or executed[i] != sent[i])
        problems.append(f"executed command {first} is not the job's command {first} (twice, skipped or foreign)")
    if expected == "finished":
        if len(executed) != len(sent):
            problems.append(f"{len(executed)} of {len(sent)} job commands executed")
        if "Job finished." not in output:
            problems.append("no \"Job finished.\"")
        if events.count("Cutting stop.") != events.count("Continue cutting."):
            problems.append("a pause without its continue")
    else:
        if "<StatusId>2</StatusId>" not in job:
            problems.append("the job log does not hold the job on hold")
        if expected == "lost" and not re.search(r"Link lost: job file sent up to byte \d+", events):
            problems.append("the event log does not tell the byte reached")
        if expected == "faulty" and "Link faulty:" not in events:
            problems.append("the event log does not tell the faulty link")
        if expected == "stalled" and "stood still for" not in output:
            problems.append("the stall was not told")
    for text, times in told:
        if output.count(text) != times:
            problems.append(f"\"{text}\" told {output.count(text)} times, expected {times}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--runs", type=int, default=24)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--faults", default="",
                        help="fault names separated by commas, taken in turn instead of the whole list")
    args = parser.parse_args()
    cli, sim = os.path.join(args.bin, "trazvik-cli"), os.path.join(args.bin, "trazvik-sim")
    rng = random.Random(args.seed)
    work = tempfile.mkdtemp(prefix="trazvik_soak_")
    os.environ["XDG_RUNTIME_DIR"] = work  # the single-instance lock of these runs only
    projects = [os.path.join(args.samples, "star.plt"), generated_project(work)]

    # The job of each project, as the cut writes it, and its command count.
    totals = {}
    for project in projects:
        job = os.path.join(work, "probe.cnx")
        subprocess.run([cli, "job", project, "-o", job, "--machine", MACHINE, "--firmware", "7.20"],
                       check=True, capture_output=True, timeout=120)
        totals[project] = len(job_commands(cli, job))

    chosen = [f for name in args.faults.split(",") if name for f in FAULTS if f[0] == name]
    if args.faults and len(chosen) != len([n for n in args.faults.split(",") if n]):
        parser.error("unknown fault in --faults; known: " + ", ".join(f[0] for f in FAULTS))
    table = {}
    failures = 0
    for run in range(args.runs):
        if chosen:
            name, links, build, expected = chosen[run % len(chosen)]
        else:
            name, links, build, expected = FAULTS[run % len(FAULTS)] if run < len(FAULTS) else rng.choice(FAULTS)
        link = rng.choice(links)
        project = rng.choice(projects)
        total = totals[project]
        point = rng.randint(min(60, total // 4), max(61, total - 120))
        faults = build(point, total)
        told = []
        label = name
        if name != "none" and rng.random() < 0.4:
            extra_name, extra_build, text = rng.choice(EXTRAS)
            # Not before the job runs at the machine, and its continue before the main fault.
            extra_point = rng.randint(60, max(61, point - 170))
            if extra_point + 160 < point:
                faults = extra_build(extra_point) + faults
                told.append((text, 1))
                label += extra_name
        data = os.path.join(work, f"run{run}")
        journal = os.path.join(work, f"run{run}.journal")
        cut = [cli, "cut", project, "--work-zero", "20,20,60", "--data-dir", data, "--switch", "JobLogging",
               "--max-time", "120", "--max-stall", "4", "--reconnect-timeout", "5", "--max-pause", "40"]
        process = None
        if link == "tcp":
            process, port, identity = start_sim(sim, faults, journal)
            cut += ["--machine", f"tcp:127.0.0.1:{port}:{identity}"]
        else:
            cut += ["--machine", f"sim-usb:{MACHINE}", "--sim-speed", "40", "--sim-journal", journal]
            for f in faults:
                cut += ["--sim-fault", f]
        started = time.monotonic()
        try:
            result = subprocess.run(cut, capture_output=True, text=True, timeout=RUN_LIMIT, stdin=subprocess.DEVNULL)
            code, output = result.returncode, result.stdout + result.stderr
        except subprocess.TimeoutExpired as e:
            code, output = "hung", (e.stdout or b"").decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        if process:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                process.kill()
        seconds = time.monotonic() - started
        events, job = read_logs(data)
        job_file = os.path.join(data, "out.cnx")
        sent = job_commands(cli, job_file) if os.path.exists(job_file) else []
        problems = ["did not end within %d s" % RUN_LIMIT] if code == "hung" else \
            judge(expected, code, output, events, job, sent, journal_commands(journal), told)
        key = (label, link)
        row = table.setdefault(key, {"runs": 0, "ok": 0, "outcomes": {}})
        row["runs"] += 1
        outcome = f"exit {code}"
        row["outcomes"][outcome] = row["outcomes"].get(outcome, 0) + 1
        if problems:
            failures += 1
            print(f"run {run} ({label} over {link}, {os.path.basename(project)}, faults {' '.join(faults)}, "
                  f"seed {args.seed}): " + "; ".join(problems), file=sys.stderr)
            print("  output: " + output.strip().replace("\n", "\n          ")[-1500:], file=sys.stderr)
        else:
            row["ok"] += 1
        print(f"run {run:3d}  {label:32s} {link:3s}  {os.path.basename(project):10s} {seconds:5.1f} s  "
              f"{'as expected' if not problems else 'WRONG'}", flush=True)

    print()
    print(f"{'fault':34s} {'link':4s} {'runs':>4s} {'as expected':>11s}  outcomes")
    for (label, link), row in sorted(table.items()):
        outcomes = ", ".join(f"{k}: {v}" for k, v in sorted(row["outcomes"].items()))
        print(f"{label:34s} {link:4s} {row['runs']:4d} {row['ok']:11d}  {outcomes}")
    print(f"\n{args.runs - failures} passed, {failures} failed")
    shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

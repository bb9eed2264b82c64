#!/usr/bin/env python3
"""Measures the whole program and prints the figures of docs/PERFORMANCE.md.

    python3 bench/measure.py [BUILD_DIR]        (make perf builds and runs it)

BUILD_DIR (default build-perf) holds zentrill, bench/zentrill_floor,
bench/zentrill_benchmarks and bench/zentrill_preview_measurement of a Release
build with ZENTRILL_BENCHMARKS=ON.
Every run happens in a fresh directory under /tmp. Times are the best of
several runs: the machine may be shared, and the best run is the one least
disturbed.
"""

import json
import os
import platform
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import time

RUNS = 5
STEPS = 1200
LONG_RUN_GLIDES = 1000
IDLE_SECONDS = 5
PROMPT = b"Starting note? "


def glide_keys(glides, steps=STEPS):
    """The keys of `glides` glides of `steps` values, alternately A1 up to A6
    and back, then "n"; the floor loop computes the same glides."""
    keys = []
    for glide in range(glides):
        keys.append("a-1a-6" if glide % 2 == 0 else "a-6a-1")
        keys.append(f"{steps}\r")
        keys.append("y" if glide < glides - 1 else "n")
    return "".join(keys).encode()


def run_once(launcher, argv, keys, directory):
    """Runs argv in directory with `keys` as its standard input, through the
    launcher: (wall s, cpu s, peak RSS KiB)."""
    keys_file = os.path.join(directory, "keys")
    with open(keys_file, "wb") as f:
        f.write(keys)
    output = subprocess.run([launcher, keys_file, directory] + argv, capture_output=True,
                            text=True, check=True).stdout.split()
    wall, cpu, peak, status = float(output[0]), float(output[1]), int(output[2]), int(output[3])
    if status != 0:
        sys.exit(f"{argv[0]} ended with status {status}")
    return wall, cpu, peak


def preview_keys(glides):
    """The keys of `glides` glides C-1 to A#7 in 1200 steps, then "n"."""
    return ("y".join(["c-1a#71200\r"] * glides) + "n").encode()


def best_of(launcher, argv, keys, runs=RUNS, keep=None, kept=("freq.txt", "pxx.txt")):
    """The best wall and CPU time and the largest peak RSS of `runs` runs;
    the files named in `kept` of the last run are copied to `keep` when
    given."""
    walls, cpus, peaks = [], [], []
    for _ in range(runs):
        with tempfile.TemporaryDirectory(prefix="zentrill-perf-") as directory:
            wall, cpu, peak = run_once(launcher, argv, keys, directory)
            if keep:
                for name in kept:
                    shutil.copy(os.path.join(directory, name), os.path.join(keep, name))
        walls.append(wall)
        cpus.append(cpu)
        peaks.append(peak)
    return min(walls), min(cpus), max(peaks)


def same_files(a, b):
    for name in ("freq.txt", "pxx.txt"):
        with open(os.path.join(a, name), "rb") as x, open(os.path.join(b, name), "rb") as y:
            if x.read() != y.read():
                return False
    return True


def on_terminal(program):
    """Starts the program on a pseudo-terminal: (time to the first prompt in
    s, CPU s used while it waits IDLE_SECONDS at that prompt)."""
    directory = tempfile.mkdtemp(prefix="zentrill-perf-")
    master, slave = pty.openpty()
    start = time.perf_counter()
    process = subprocess.Popen([program], cwd=directory, stdin=slave, stdout=slave,
                               stderr=slave, start_new_session=True)
    os.close(slave)
    seen = b""
    while PROMPT not in seen:
        ready, _, _ = select.select([master], [], [], 10)
        if not ready:
            sys.exit("no prompt within 10 s")
        seen += os.read(master, 4096)
    to_prompt = time.perf_counter() - start
    before = cpu_of(process.pid)
    time.sleep(IDLE_SECONDS)
    idle_cpu = cpu_of(process.pid) - before
    os.write(master, b"a-1a-32\rn")
    try:
        while True:  # drain until the program has closed the terminal
            ready, _, _ = select.select([master], [], [], 10)
            if not ready or not os.read(master, 4096):
                break
    except OSError:
        pass
    process.wait(timeout=10)
    os.close(master)
    shutil.rmtree(directory)
    return to_prompt, idle_cpu


def cpu_of(pid):
    """The process's CPU time so far, in seconds: from schedstat (nanoseconds)
    where the kernel has it, otherwise from stat (clock ticks)."""
    try:
        with open(f"/proc/{pid}/schedstat") as f:
            return int(f.read().split()[0]) / 1e9
    except OSError:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def machine(build):
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    compiler, build_type = "c++", "?"
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_CXX_COMPILER:"):
                compiler = line.split("=", 1)[1].strip()
            if line.startswith("CMAKE_BUILD_TYPE:"):
                build_type = line.split("=", 1)[1].strip()
    version = subprocess.run([compiler, "--version"], capture_output=True, text=True).stdout
    return (f"{os.cpu_count()} CPUs (nproc), {model}, {version.splitlines()[0]}, "
            f"{build_type} build, Linux {platform.release()}")


# Each hot path of the program beside the floor loop's step for the same
# values (hot_paths_benchmark.cpp).
STEPS_TABLE = [
    ("write a number line to freq.txt", "BM_WriteNumberLine", "BM_FloorWriteFrequencyLine"),
    ("read a numeric item back", "BM_ReadNumericItem", "BM_FloorReadFrequency"),
    ("timer period, note search, fine pitch", "BM_AnalyseFrequency", "BM_FloorAnalyseFrequency"),
    ("write a pitch-list line to pxx.txt", "BM_WritePitchListLine", "BM_FloorWritePitchLine"),
    ("module: one of its 256 rows", "BM_ModuleRows", None),
    ("preview of 1200 rows (-tiaw): one row", "BM_Preview1200Rows", None),
]


def hot_paths(build):
    """The Google Benchmark figures: {name: CPU ns per item}, medians of 3."""
    output = subprocess.run([os.path.join(build, "bench", "zentrill_benchmarks"),
                             "--benchmark_format=json", "--benchmark_min_time=0.5",
                             "--benchmark_repetitions=3",
                             "--benchmark_report_aggregates_only=true"],
                            capture_output=True, text=True, check=True).stdout
    return {result["run_name"]: 1e9 / result["items_per_second"]
            for result in json.loads(output)["benchmarks"]
            if result.get("aggregate_name") == "median"}


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build-perf"
    program = os.path.abspath(os.path.join(build, "zentrill"))
    floor = os.path.abspath(os.path.join(build, "bench", "zentrill_floor"))
    launcher = os.path.abspath(os.path.join(build, "bench", "zentrill_measured_run"))
    lines = LONG_RUN_GLIDES * STEPS

    print(f"machine: {machine(build)}")
    print()

    program_files = tempfile.mkdtemp(prefix="zentrill-perf-")
    floor_files = tempfile.mkdtemp(prefix="zentrill-perf-")
    wall, cpu, peak = best_of(launcher, [program], glide_keys(LONG_RUN_GLIDES), keep=program_files)
    floor_wall, floor_cpu, floor_peak = best_of(
        launcher, [floor, str(LONG_RUN_GLIDES), str(STEPS)], b"", keep=floor_files)
    with open(os.path.join(program_files, "freq.txt"), "rb") as f:
        counted = f.read().count(b"\r\n")
    identical = same_files(program_files, floor_files)
    shutil.rmtree(program_files)
    shutil.rmtree(floor_files)
    if counted != lines:
        sys.exit(f"freq.txt has {counted} lines, not {lines}")
    if not identical:
        sys.exit("the floor loop wrote other bytes than the program: it is not the same work")

    one_wall, one_cpu, one_glide_peak = best_of(launcher, [program], glide_keys(1))
    print(f"{'run (piped, best of %d)' % RUNS:<44} {'wall s':>8} {'CPU s':>8} {'ns/line':>8} {'peak RSS KiB':>13}")
    print(f"{'zentrill, 1 glide of 1200 values':<44} {one_wall:>8.3f} {one_cpu:>8.3f} "
          f"{'':>8} {one_glide_peak:>13}")
    print(f"{'zentrill, %d glides, %d lines' % (LONG_RUN_GLIDES, lines):<44} {wall:>8.3f} {cpu:>8.3f} "
          f"{wall / lines * 1e9:>8.0f} {peak:>13}")
    print(f"{'floor loop, same values and bytes':<44} {floor_wall:>8.3f} {floor_cpu:>8.3f} "
          f"{floor_wall / lines * 1e9:>8.0f} {floor_peak:>13}")
    print(f"ratio to the floor: {wall / floor_wall:.2f} (wall), {cpu / floor_cpu:.2f} (CPU)")
    print(f"peak RSS, long run minus one glide: {peak - one_glide_peak} KiB")
    print()

    print(f"{'growth (piped, best of 5)':<44} {'wall s':>8} {'CPU s':>8} {'CPU ns/line':>12}")
    for glides in (125, 250, 500, 1000):
        grown_wall, grown_cpu, _ = best_of(launcher, [program], glide_keys(glides))
        print(f"{'%d glides, %d lines' % (glides, glides * STEPS):<44} {grown_wall:>8.3f} "
              f"{grown_cpu:>8.3f} {grown_cpu / (glides * STEPS) * 1e9:>12.0f}")
    print()

    # The preview: the glide of 1200 rows, and the longest preview (the list
    # is cut at the module's limit); then what the samples of the first play.
    preview_files = tempfile.mkdtemp(prefix="zentrill-perf-")
    print(f"{'preview (piped, -tiaw, best of 5 and 3)':<44} {'wall s':>8} {'CPU s':>8} {'':>8} "
          f"{'peak RSS KiB':>13}")
    for label, glides, runs, keep in (("C-1 to A#7 in 1200 steps, 2 minutes", 1, RUNS, preview_files),
                                      ("28 such glides: 32767 rows, 55 minutes", 28, 3, None)):
        preview_wall, preview_cpu, preview_peak = best_of(
            launcher, [program, "-tiaw"], preview_keys(glides), runs=runs, keep=keep,
            kept=("pxx.txt", "pxx.wav"))
        print(f"{label:<44} {preview_wall:>8.3f} {preview_cpu:>8.3f} {'':>8} {preview_peak:>13}")
    measurement = subprocess.run([os.path.join(build, "bench", "zentrill_preview_measurement"),
                                  preview_files], capture_output=True, text=True)
    shutil.rmtree(preview_files)
    print(measurement.stdout, end="")
    if measurement.returncode != 0:
        sys.exit("the preview misses its period or its aliasing target")
    print()

    starts, idles = [], []
    for _ in range(3):
        to_prompt, idle = on_terminal(program)
        starts.append(to_prompt)
        idles.append(idle)
    print(f"pseudo-terminal: start to first prompt {min(starts) * 1000:.1f} ms (best of 3, "
          f"from Python's spawn); CPU while idle {IDLE_SECONDS} s at the prompt: "
          f"{max(idles) * 1e6:.0f} us (worst of 3)")
    print()

    figures = hot_paths(build)
    print(f"{'hot path (Google Benchmark, CPU ns, median of 3)':<48} {'program':>8} {'floor':>8}")
    for step, program_step, floor_step in STEPS_TABLE:
        floor_figure = f"{figures[floor_step]:>8.1f}" if floor_step else f"{'':>8}"
        print(f"{step:<48} {figures[program_step]:>8.1f} {floor_figure}")
    print(f"the whole preview of 1200 rows: {figures['BM_Preview1200Rows'] * 1200 / 1e6:.1f} ms of CPU")


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# The Windows DLL's calendar under Wine, opened the first time, against what
# it cannot do without. For each number of memos (all daily, so all listed,
# with identifiers and titles of the Linux benchmark's shape) it runs, one
# after the other in every round, each a fresh process:
#   calendar  bench/windows/first_open.cpp: a host creates Calender from the
#             registered DLL and calls CalenderDesign on an SQLite file
#             through ODBC (Wine's odbc32, the host's unixODBC and SQLite
#             driver), until the window is shown and painted
#   bare      bench/windows/bare_tree.cpp: the same select through ODBC and
#             a native tree of the same nodes in a window of the same size,
#             shown and painted
#   dialog    bench/windows/trivial_dialog.cpp: an empty dialog of the
#             calendar's size, shown and painted
# Each program says "shown" once painted; the process's CPU time then (all
# its threads, from the scheduler: /proc/PID/task/*/schedstat; the Wine
# server's and the X server's work are in no figure) and its peak resident
# memory (VmHWM) are taken, and the process is ended, so no teardown counts.
# Prints every round with the load average, the medians, the ratios of each
# round (calendar to bare and to dialog) and their median, and the resident
# memory each memo adds (the difference between the largest and the
# smallest number of memos).
#   bench/windows-first-open.sh [--rounds R] [--memos N]... [--bin DIR] [--dll DLL]...
#                               [--options TEXT]
# --bin: the folder of the bench programs (default build/windows/x86_64/bin);
# --dll: a built Agendia.dll to time as "calendar" (default the one in
# --bin); given twice or more, each is timed in every round (to compare two
# builds); --options: appended to the ODBC connection string of both sides
# (";StepAPI=1" has the SQLite driver step through the rows rather than
# hold the whole result). Needs Wine, Xvfb and sqlite3, as the Windows tests do.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=5
memos=()
dlls=()
bin=build/windows/x86_64/bin
options=
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --memos) memos+=("$2"); shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --dll) dlls+=("$(realpath "$2")"); shift 2 ;;
    --options) options=$2; shift 2 ;;
    *) echo "usage: $0 [--rounds R] [--memos N]... [--bin DIR] [--dll DLL]... [--options TEXT]" >&2; exit 2 ;;
  esac
done
bin=$(realpath "$bin")
[ ${#memos[@]} -gt 0 ] || memos=(1000 100000)
[ ${#dlls[@]} -gt 0 ] || dlls=("$bin/Agendia.dll")
for program in agendia_bench_first_open agendia_bench_bare_tree agendia_bench_trivial_dialog; do
  [ -f "$bin/$program.exe" ] || { echo "no $bin/$program.exe (build the Windows DLLs)" >&2; exit 2; }
done

work=$(mktemp -d)
export AGENDIA_WINDOWS_BUILD=$work/none AGENDIA_WINE_STATE=$work/wine
# shellcheck source=../tests/windows/wine_env.sh
. tests/windows/wine_env.sh
cleanup() { tests/windows/stop_wine.sh >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
tests/windows/setup_wine.sh >/dev/null
export DISPLAY=":$(cat "$AGENDIA_WINE_STATE/display")"
keep_wine_up
# One registered place; each run copies the DLL under test there.
mkdir -p "$work/dll"
cp -r "$bin/agendia-resources" "$work/dll/"
cp "${dlls[0]}" "$work/dll/Agendia.dll"
wine regsvr32 /s "$(winpath "$work/dll/Agendia.dll")" || fail "regsvr32 failed"

for n in "${memos[@]}"; do
  db=$work/memos-$n.db
  sqlite3 "$db" <sql/sqlite/ZA_Message.sql
  sqlite3 "$db" "with recursive c(x) as (select 1 union all select x + 1 from c where x < $n)
    insert into ZA_Message select printf('%08X-%04X-4%03X-8%03X-%012X', x * 2654435761 % 4294967296, x % 65536,
        x % 4096, x * 7 % 4096, x * 40503), 100,
      'Memo ' || x || ': call the supplier about order ' || (x * 7919 % 100000), '', 'demo', 'demo',
      '2024-03-01 09:00:00', 540, 0, 1, '001', 2024 from c;"
done

python3 - "$WINE" "$bin" "$work" "$options" "$rounds" "${#dlls[@]}" "${dlls[@]}" "${memos[@]}" <<'PYTHON'
import glob, os, shutil, signal, statistics, subprocess, sys, time

wine, bin_dir, work, options = sys.argv[1:5]
rounds, ndll = int(sys.argv[5]), int(sys.argv[6])
dlls = sys.argv[7:7 + ndll]
memos = [int(n) for n in sys.argv[7 + ndll:]]

def load():
    return open("/proc/loadavg").read().split()[0]

def measure(args):
    """CPU ms of the process and its peak resident KiB when it says 'shown'."""
    process = subprocess.Popen([wine] + args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    line = process.stdout.readline().strip()
    cpu = 0
    for task in glob.glob("/proc/%d/task/*/schedstat" % process.pid):
        try:
            cpu += int(open(task).read().split()[0])
        except OSError:
            pass
    rss = 0
    for field in open("/proc/%d/status" % process.pid):
        if field.startswith("VmHWM:"):
            rss = int(field.split()[1])
    os.killpg(process.pid, signal.SIGKILL)
    process.wait()
    if line != b"shown":
        sys.exit("%s did not show its window (%r)" % (" ".join(args), line))
    return cpu / 1e6, rss

def windows_path(path):
    return "Z:" + path.replace("/", "\\")

program = lambda name: windows_path(os.path.join(bin_dir, name + ".exe"))
series = {}
def keep(name, value):
    series.setdefault(name, []).append(value)

print("load average before: %s, %d CPUs" % (" ".join(open("/proc/loadavg").read().split()[:3]), os.cpu_count()))
for n in memos:
    connection = "Driver=SQLite3;Database=%s/memos-%d.db;NoCreat=1%s" % (work, n, options)
    measure([program("agendia_bench_bare_tree"), "both", connection])  # warms the page cache
    for r in range(1, rounds + 1):
        line = "memos %d round %d:" % (n, r)
        for i, dll in enumerate(dlls):
            shutil.copy(dll, os.path.join(work, "dll", "Agendia.dll"))
            cpu, rss = measure([program("agendia_bench_first_open"), connection])
            name = "calendar" if ndll == 1 else "calendar%d" % (i + 1)
            keep((n, name, "cpu"), cpu); keep((n, name, "rss"), rss)
            line += " %s %.0f ms %d KiB," % (name, cpu, rss)
        cpu, rss = measure([program("agendia_bench_bare_tree"), "both", connection])
        keep((n, "bare", "cpu"), cpu); keep((n, "bare", "rss"), rss)
        line += " bare %.0f ms %d KiB," % (cpu, rss)
        cpu, rss = measure([program("agendia_bench_trivial_dialog")])
        keep((n, "dialog", "cpu"), cpu)
        line += " dialog %.0f ms" % cpu
        for i in range(ndll):
            name = "calendar" if ndll == 1 else "calendar%d" % (i + 1)
            keep((n, name, "/bare"), series[(n, name, "cpu")][-1] / series[(n, "bare", "cpu")][-1])
            keep((n, name, "/dialog"), series[(n, name, "cpu")][-1] / series[(n, "dialog", "cpu")][-1])
        print(line + " (load %s)" % load(), flush=True)

names = ["calendar"] if ndll == 1 else ["calendar%d" % (i + 1) for i in range(ndll)]
for n in memos:
    for name in names + ["bare", "dialog"]:
        text = "memos %d %s: median %.0f ms CPU" % (n, name, statistics.median(series[(n, name, "cpu")]))
        if (n, name, "rss") in series:
            text += ", peak resident %d KiB" % statistics.median(series[(n, name, "rss")])
        print(text)
    for name in names:
        for ratio in ("/bare", "/dialog"):
            values = series[(n, name, ratio)]
            print("memos %d %s%s: median ratio %.2f [%.2f-%.2f]" % (n, name, ratio, statistics.median(values),
                                                                    min(values), max(values)))
if len(memos) > 1:
    low, high = min(memos), max(memos)
    for name in names + ["bare"]:
        grown = statistics.median(series[(high, name, "rss")]) - statistics.median(series[(low, name, "rss")])
        print("%s: %.0f B of peak resident memory per memo (%d to %d memos)" %
              (name, grown * 1024 / (high - low), low, high))
print("load average after: %s" % " ".join(open("/proc/loadavg").read().split()[:3]))
PYTHON

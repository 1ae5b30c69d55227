#!/usr/bin/python3
"""Times forming a specification of N rows inside Calc through the extension:
makes the list with the command (`ormelin new`) and openpyxl, opens it in one
headless Calc with ormelin.oxt installed (as calc_compare.py does), dispatches
"ormelin:form" and reports the wall time, the CPU time of the office's
processes, the load average, and the extension's own split (its
ORMELIN_CALC_TIMING journal: start of the undo step, the command, the end, and
the calls and time of each host member, the costliest first).

    time_forming.py --oxt build/ormelin.oxt --ormelin build/ormelin --rows 200 2000"""
import argparse, os, shutil, subprocess, sys, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import calc_compare as cc  # noqa: E402


def office_cpu(profile):
    """The CPU seconds (user and system) the office's processes of this profile have used."""
    total = 0
    tick = os.sysconf("SC_CLK_TCK")
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if profile.encode() not in f.read():
                    continue
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += (int(fields[11]) + int(fields[12])) / tick
        except OSError:
            continue
    return total


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--oxt", required=True)
    ap.add_argument("--ormelin", required=True)
    ap.add_argument("--work", default="/tmp/ormelin-calc-timing")
    ap.add_argument("--rows", type=int, nargs="+", default=[2000])
    args = ap.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    os.chmod(args.work, 0o777)
    import openpyxl
    books = {}
    for n in args.rows:
        path = os.path.join(args.work, f"spec-{n}.xlsx")
        subprocess.run([args.ormelin, "new", path, "spa"], check=True, capture_output=True)
        wb = openpyxl.load_workbook(path)
        ws = wb["Новый"]
        ws.cell(2, 5, "Документация")
        for i in range(n):
            r = 3 + i
            ws.cell(r, 1, "А4")
            ws.cell(r, 3, i + 1)
            ws.cell(r, 4, f"АБВГ.{758000 + i}.{i % 1000:03d}")
            ws.cell(r, 5, f"Плата печатная {i}")
            ws.cell(r, 6, 1)
        wb.save(path)
        books[n] = path
    office = cc.Office(args.work, args.oxt, 2000 + os.getpid() % 20000)
    timing = os.path.join(args.work, "timing.txt")
    try:
        for n, path in books.items():
            doc = office.open(path)
            if os.path.exists(timing):
                os.remove(timing)
            t0, cpu0 = time.monotonic(), office_cpu(office.profile)
            said = office.run(doc, "Новый", "form")
            wall, cpu = time.monotonic() - t0, office_cpu(office.profile) - cpu0
            split = open(timing).read().strip() if os.path.exists(timing) else ""
            load = " ".join(f"{x:.1f}" for x in os.getloadavg())
            print(f"{n} rows: {wall:.2f} s wall, {cpu:.2f} s CPU of the office, load average {load}\n{split}\n{said}",
                  flush=True)
            doc.close(True)
    finally:
        office.stop()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Runs a command and writes its peak resident memory and wall time to a file.

  peak_memory.py OUT COMMAND [ARGS...]

OUT gets one line "PEAK_KB SECONDS CPU_SECONDS STATUS": wall time, processor time (user and
system), and the command's exit code, or 128 plus the signal that ended it. The command's own output passes through.
"""
import os
import subprocess
import sys
import time

if len(sys.argv) < 3:
    sys.exit("usage: peak_memory.py OUT COMMAND [ARGS...]")
start = time.monotonic()
child = subprocess.Popen(sys.argv[2:])
_, status, usage = os.wait4(child.pid, 0)
seconds = time.monotonic() - start
code = os.waitstatus_to_exitcode(status)
with open(sys.argv[1], "w") as out:
    cpu = usage.ru_utime + usage.ru_stime
    out.write("%d %.3f %.3f %d\n" % (usage.ru_maxrss, seconds, cpu, code if code >= 0 else 128 - code))

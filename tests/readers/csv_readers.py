#!/usr/bin/python3
"""Every CSV the batch tool writes, read by the programs users read them with:
Python's csv module, numpy's genfromtxt with names (as docs/other-programs.md shows it),
pandas with round-trip floats, and a spreadsheet's stock import that splits at
commas, semicolons and tabs alike outside quotes, as LibreOffice's does. Each
must find the values Python's correctly rounded float() finds, to the bit.

Usage: csv_readers.py MOTORMODEL_CLI"""

import csv
import io
import math
import os
import struct
import subprocess
import sys
import tempfile

import numpy as np
import pandas as pd

CLI = sys.argv[1]
failures = []


def bits(value):
    return struct.pack("<d", value)


def same(a, b):
    return (math.isnan(a) and math.isnan(b)) or bits(a) == bits(b)


def run(*arguments):
    subprocess.run([CLI, *arguments], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def reference(path, russian):
    """The table as RFC 4180 reads it: headings, then rows of floats (NaN for
    an empty cell, None for a text)."""
    with open(path, newline="") as file:
        rows = list(csv.reader(file, delimiter=";" if russian else ","))

    def number(cell):
        if cell == "":
            return math.nan
        try:
            return float(cell.replace(",", ".") if russian else cell)
        except ValueError:
            return None

    return rows[0], [[number(cell) for cell in row] for row in rows[1:]]


def spreadsheet_fields(line):
    """A line as a spreadsheet's default import splits it: at , ; and tab
    outside double quotes."""
    fields, field, quoted = [], "", False
    for char in line:
        if char == '"':
            quoted = not quoted
        elif char in ",;\t" and not quoted:
            fields.append(field)
            field = ""
        else:
            field += char
    return fields + [field]


def check(name, path, russian):
    headings, rows = reference(path, russian)
    numeric = [i for i in range(len(headings)) if all(row[i] is not None for row in rows)]

    def expect(reader, column, values):
        for row, value in zip(rows, values):
            if not same(row[column], float(value)):
                failures.append(f"{name}: {reader} reads {headings[column]} as {value!r}, not {row[column]!r}")
                return

    with open(path) as file:
        lines = file.read().splitlines()
    for line, row in zip(lines, [headings] + rows):
        if len(spreadsheet_fields(line)) != len(headings):
            failures.append(f"{name}: a spreadsheet splits {line[:60]!r} into other columns than its heading")
            break

    if russian:
        frame = pd.read_csv(path, sep=";", decimal=",", float_precision="round_trip")
    else:
        frame = pd.read_csv(path, float_precision="round_trip")
        table = np.genfromtxt(path, delimiter=",", names=True, dtype=float, comments=None)
        if len(table.dtype.names) != len(headings):
            failures.append(f"{name}: numpy finds {len(table.dtype.names)} columns, not {len(headings)}")
        else:
            for column in numeric:
                expect("numpy", column, np.atleast_1d(table[table.dtype.names[column]]))
    if list(frame.columns) != headings:
        failures.append(f"{name}: pandas heads the columns {list(frame.columns)}, not {headings}")
    for column in numeric:
        expect("pandas", column, frame.iloc[:, column])


with tempfile.TemporaryDirectory() as folder:
    def at(name):
        return os.path.join(folder, name)

    run("sweep", "step.load=0,20,20", "step", "--session", at("family.toml"), "--csv", "/dev/null")
    # A bench's log beside a session: its own uneven times, more rows than
    # the run's, and a sample not taken.
    bench = b"t,Md,Omega\n" + b"".join(b"%r,%r,%s\n" % (0.0004 * i + i * i * 1e-7, 0.1 * i, b"" if i == 3 else b"%r" % (i / 3))
                                       for i in range(2500))
    with open(at("bench.csv"), "wb") as file:
        file.write(bench)
    fnv = 0xCBF29CE484222325
    for byte in bench:
        fnv = ((fnv ^ byte) * 0x100000001B3) % 2**64
    run("step", "10", "--session", at("measured.toml"), "--csv", "/dev/null")
    with open(at("measured.toml")) as file:
        text = file.read()
    with open(at("measured.toml"), "w") as file:
        file.write(text.replace("\n[holds]", f'\n[measured]\nfile = "bench.csv"\nhash = "{fnv:016x}"\nmappings = []\n\n[holds]'))
    for russian in (False, True):
        locale = ["--locale", "ru"] if russian else []
        suffix = "-ru" if russian else ""
        outputs = {
            "step": ["step", "10", "--time", "--csv"],
            "metrics": ["step", "10", "--set", "step.on=500", "--time", "--metrics"],
            "stats": ["gauss", "--seed", "7", "--stats"],
            "uniform": ["uniform", "--seed", "3", "--csv"],
            "characteristic": ["characteristic", "--csv"],
            "sweep": ["sweep", "model.J=0.0172,0.0344", "step", "10", "--csv"],
            "sweep-metrics": ["sweep", "model.J=0.0172,0.0344", "step", "10", "--metrics"],
            "session": ["session", at("family.toml"), "--csv"],
            "session-measured": ["session", at("measured.toml"), "--csv"],
        }
        for name, arguments in outputs.items():
            path = at(name + suffix + ".csv")
            run(*arguments, path, *locale)
            check(name + suffix, path, russian)
        headings, rows = reference(at("session-measured" + suffix + ".csv"), russian)
        samples = [[float(cell) if cell else math.nan for cell in line.split(",")] for line in bench.decode().split()[1:]]
        measured = [row[-3:] for row in rows]
        if headings[-3:] != ["t (measured)", "Md (measured)", "Omega (measured)"] or len(rows) != len(samples) or \
                not all(same(a, b) for got, want in zip(measured, samples) for a, b in zip(got, want)):
            failures.append(f"session-measured{suffix}: the measured columns are not the bench's samples")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)

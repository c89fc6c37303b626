#!/usr/bin/python3
"""The batch tool's --json, as Python's json module reads it, against what
the same command line writes as CSV and text: --metrics, --stats, the step
response's maxima, the characteristic's operating and breakdown points and
the settings file. Every number must be the same double, to the bit, and
every undefined value null; the document must be strict JSON (no NaN).

Usage: json_output.py MOTORMODEL_CLI EXAMPLES_DIR"""

import csv
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import tomllib

CLI, EXAMPLES = sys.argv[1], sys.argv[2]
failures = []


def run(*arguments, status=0):
    done = subprocess.run([CLI, *arguments], capture_output=True, text=True)
    if done.returncode != status:
        failures.append(f"{' '.join(arguments)}: status {done.returncode}, not {status}: {done.stderr}")
    return done


def strict(text):
    def refuse(constant):
        raise ValueError(f"{constant} is not JSON")
    return json.loads(text, parse_constant=refuse)


def bits(value):
    return struct.pack("<d", value)


def same(name, csv_value, json_value):
    """A cell as the CSV writes it against the JSON's value."""
    if csv_value in ("", None):
        ok = json_value is None
    elif csv_value in ("yes", "no"):
        ok = json_value is (csv_value == "yes")
    elif isinstance(json_value, str):
        ok = json_value == csv_value
    elif isinstance(json_value, int) and not isinstance(json_value, bool):
        ok = re.fullmatch(r"-?\d+", csv_value) is not None and int(csv_value) == json_value
    else:
        ok = isinstance(json_value, float) and bits(float(csv_value)) == bits(json_value) or (
            isinstance(json_value, int) and float(csv_value) == json_value)
    if not ok:
        failures.append(f"{name}: the CSV has {csv_value!r}, the JSON {json_value!r}")


def rows(path):
    with open(path, newline="") as file:
        return list(csv.DictReader(file))


def compare_rows(name, csv_rows, json_rows):
    if json_rows is None or len(csv_rows) != len(json_rows):
        failures.append(f"{name}: {len(csv_rows)} CSV rows, JSON {json_rows!r:.80}")
        return
    for index, (csv_row, json_row) in enumerate(zip(csv_rows, json_rows)):
        if set(csv_row) - set(json_row):
            failures.append(f"{name}: the JSON lacks {set(csv_row) - set(json_row)}")
        for column, cell in csv_row.items():
            same(f"{name} row {index} {column}", cell, json_row.get(column))


def settings_of(arguments):
    """The options of a command line that make its settings, as settings takes them."""
    made = []
    for option, value in zip(arguments, arguments[1:]):
        if option in ("--settings", "--set"):
            made += [option, value]
        elif option == "--seed":
            made += ["--set", f"run.seed={value}"]
    return made


def compare_settings(name, arguments, document):
    """Every value the settings file writes is the JSON's, by its name."""
    written = tomllib.loads(run("settings", *settings_of(arguments)).stdout)
    for group, table in written.items():
        for key, value in table.items():
            setting = f"{group}.{key}"
            got = document["settings"].get(setting, "missing")
            if got != value or type(got) is not type(value) and not isinstance(value, float):
                failures.append(f"{name}: {setting} is {value!r} in the file, {got!r} in the JSON")


def run_case(name, arguments, folder, status=0):
    """A run with --json beside --metrics (step only) and --stats, with times."""
    metrics, stats, document = (os.path.join(folder, f"{name}.{kind}") for kind in ("m.csv", "s.csv", "json"))
    step = arguments[0] == "step"
    outputs = ["--stats", stats, "--json", document] + (["--metrics", metrics, "--time"] if step else [])
    done = run(*arguments, *outputs, status=status)
    if not os.path.exists(document):
        failures.append(f"{name}: no document")
        return
    with open(document) as file:
        result = strict(file.read())
    if result["command"] != arguments[0]:
        failures.append(f"{name}: command {result['command']!r}")
    compare_settings(name, arguments, result)
    if status == 3:
        if result["outcome"] != "refused" or any(result[key] is not None for key in ("maxima", "metrics", "stats")):
            failures.append(f"{name}: a refused run's document {result!r:.200}")
        return
    if result["outcome"] != "done":
        failures.append(f"{name}: outcome {result['outcome']!r}")
    compare_rows(f"{name} stats", rows(stats), result["stats"])
    if not step:
        if result["maxima"] is not None or result["metrics"] is not None:
            failures.append(f"{name}: a random run has maxima or characteristics")
        return
    compare_rows(f"{name} metrics", rows(metrics), result["metrics"])
    printed = dict(line.rsplit(" ", 1) for line in done.stdout.splitlines())
    same(f"{name} Max M", printed["Max M"], result["maxima"]["Md"])
    same(f"{name} Max Omega", printed["Max Omega"], result["maxima"]["Omega"])


def points(text):
    """The characteristic's lines on standard error, by their heading."""
    found = {}
    for line in text.splitlines():
        heading, numbers = line.split(": ", 1)
        found[heading] = numbers.split()
    return found


def characteristic_case(name, arguments):
    """The document alone on standard output, its points as printed."""
    done = run("characteristic", *arguments, "--json", "-")
    result = strict(done.stdout)
    compare_settings(name, arguments, result)
    printed = points(done.stderr)
    breakdown = printed.get("Breakdown point")
    if breakdown:
        for label, key in (("Omega", "Omega"), ("Md", "Md"), ("slip", "slip")):
            same(f"{name} breakdown {key}", breakdown[breakdown.index(label) + 1], (result["breakdown"] or {}).get(key))
    elif result["breakdown"] is not None:
        failures.append(f"{name}: a breakdown point in the JSON alone")
    operating = printed.get("Operating point", [])
    if operating[:1] == ["none"]:
        if result["operating_point"] is not None:
            failures.append(f"{name}: an operating point in the JSON alone")
        same(f"{name} searched from", operating[3], result["searched"]["from"])
        same(f"{name} searched to", operating[5].rstrip(","), result["searched"]["to"])
    else:
        same(f"{name} operating Omega", operating[1], result["operating_point"]["Omega"])
        same(f"{name} operating Md", operating[3], result["operating_point"]["Md"])


modelica = os.path.join(EXAMPLES, "modelica-squirrel-cage.toml")
with tempfile.TemporaryDirectory() as folder:
    run_case("step", ["step", "10"], folder)
    run_case("segments", ["step", "10", "--set", "run.steps=3000", "--set", "step.on=1000",
                          "--set", "step.off=2000"], folder)
    run_case("ramp", ["step", "-5", "--set", "step.profile=ramp", "--set", "step.ramp=300"], folder)
    run_case("dq", ["step", "--settings", modelica], folder)
    run_case("refused", ["step", "31"], folder, status=3)
    run_case("gauss", ["gauss", "--seed", "7", "--from", "1000", "--to", "1999"], folder)
    run_case("uniform", ["uniform", "--seed", "3", "--set", "run.steps=700"], folder)
    characteristic_case("characteristic", ["--load", "10"])
    characteristic_case("characteristic-none", ["--load", "100"])
    characteristic_case("dq-characteristic", ["--settings", modelica, "--load", "10"])

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)

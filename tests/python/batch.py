"""The batch tool's output read back exactly, for comparing the module with it."""

import csv
import io
import os
import subprocess

import numpy as np

CLI = os.environ["MOTORMODEL_CLI"]


def cli(*arguments, status=0):
    """The tool's standard output and error for the arguments."""
    done = subprocess.run([CLI, *arguments], capture_output=True, text=True)
    if done.returncode != status:
        raise AssertionError(f"motormodel-cli {' '.join(arguments)} ended {done.returncode}: {done.stderr}")
    return done.stdout, done.stderr


def rows(text):
    """The CSV's rows as dicts of texts."""
    return list(csv.DictReader(io.StringIO(text)))


def columns(text):
    """The CSV's columns as arrays: the step as integers, the rest as doubles,
    each read back to the bits written (Python's float reads the shortest
    text exactly)."""
    table = rows(text)
    return {name: np.array([int(row[name]) if name == "step" else float(row[name]) for row in table])
            for name in table[0]}


def bits(array):
    """An array's values as their bit patterns: -0.0 and 0.0 differ, NaN
    equals itself."""
    array = np.asarray(array)
    return array.view(np.uint64) if array.dtype == np.float64 else array


def cell(text):
    """A CSV cell as the module gives the figure: None for an empty cell,
    a bool for yes or no, an int or a float."""
    if text == "":
        return None
    if text in ("yes", "no"):
        return text == "yes"
    try:
        return int(text)
    except ValueError:
        return float(text)

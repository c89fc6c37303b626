"""The lab bench in Python: the same comparison and fit as the batch tool's,
to the bit, and a fit stopped by Ctrl+C."""

import os
import pathlib
import signal
import tempfile
import threading
import unittest

import numpy as np

import motormodel
from batch import cli, rows

MACHINE = str(pathlib.Path(__file__).resolve().parents[2] / "examples" / "modelica-squirrel-cage.toml")
# The machine's first 0.3 s, short enough for the sanitized build.
SHORT = ["--settings", MACHINE, "--set", "run.steps=3000", "--set", "step.off=3000"]


def settings(**changes):
    s = motormodel.Settings.load(MACHINE)
    s["run.steps"] = 3000
    s["step.off"] = 3000
    for name, value in changes.items():
        s["model." + name] = value
    return s


class Lab(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.measured = os.path.join(cls.folder.name, "start.csv")
        # The bench: the machine with a heavier rotor, on semicolons.
        cli("step", *SHORT, "--set", "model.J=0.6", "--time", "--locale", "ru", "--csv", cls.measured)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_compare_gives_the_batch_tools_figures(self):
        out, _ = cli("step", *SHORT, "--measured", self.measured, "--compare", "-")
        comparison = motormodel.run("step", settings=settings()).compare(motormodel.read_measured(self.measured))
        for row in rows(out):
            c = comparison[row["quantity"]]
            self.assertEqual(c["samples"], int(row["samples"]))
            for figure in ("rms", "largest", "largest_seconds", "r_squared"):
                self.assertEqual(c[figure], float(row[figure]), figure)
            # numpy sums pairwise, the comparison in order: the last few bits differ.
            self.assertAlmostEqual(np.sqrt(np.mean(c["error"] ** 2)), c["rms"], delta=1e-12 * c["rms"])

    def test_fit_gives_the_batch_tools_values(self):
        report = os.path.join(self.folder.name, "report.csv")
        cli("fit", self.measured, "step", *SHORT, "--set", "model.J=0.45", "--fit", "model.J",
            "--report", report, "-o", os.devnull)
        with open(report) as file:
            (row,) = rows(file.read())
        fit = motormodel.fit(motormodel.read_measured(self.measured), fit=["model.J"], settings=settings(J=0.45))
        self.assertEqual(fit["outcome"], "converged")
        self.assertEqual(fit["values"]["model.J"], float(row["value"]))
        self.assertEqual(fit["stderr"]["model.J"], float(row["stderr"]))
        self.assertAlmostEqual(fit["values"]["model.J"], 0.6, delta=1e-9)
        self.assertEqual(fit["correlation"].shape, (1, 1))
        self.assertEqual(fit["settings"]["model.J"], fit["values"]["model.J"])

    def test_refusals_name_what_is_allowed(self):
        with self.assertRaisesRegex(ValueError, "cannot be fitted: the d-q model fits model.Rs"):
            motormodel.fit(motormodel.read_measured(self.measured), fit=["model.sk"], settings=settings())
        with self.assertRaisesRegex(ValueError, "map takes a column to t, Md, Omega, Is or ia, not 'x=speed'"):
            motormodel.read_measured(self.measured, map={"x": "speed"})
        with self.assertRaisesRegex(ValueError, "no such file"):
            motormodel.read_measured(os.path.join(self.folder.name, "no such file.csv"))

    def test_ctrl_c_stops_a_fit(self):
        started = threading.Event()
        interrupter = threading.Thread(target=lambda: started.wait() and os.kill(os.getpid(), signal.SIGINT))
        interrupter.start()
        with self.assertRaises(KeyboardInterrupt):
            motormodel.fit(motormodel.read_measured(self.measured), fit=["model.J", "model.Rr"],
                           settings=settings(J=0.3, Rr=0.02), progress=lambda iteration, most: started.set())
        interrupter.join()


if __name__ == "__main__":
    unittest.main()

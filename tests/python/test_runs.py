"""The module's runs against the batch tool's, to the bit."""

import unittest

import numpy as np

import motormodel
from batch import bits, cell, cli, columns, rows

# Each run kind, and runs whose settings change the time and the load.
RUNS = [
    (("gauss", "--seed", "7"), dict(kind="gauss", seed=7)),
    (("uniform", "--seed", "7"), dict(kind="uniform", seed=7)),
    (("uniform", "--set", "run.seed=123", "--set", "run.steps=5000"),
     dict(kind="uniform", settings={"run.seed": 123, "run.steps": 5000})),
    (("step", "10"), dict(kind="step", load=10)),
    (("step", "--set", "step.load=25", "--set", "model.dt=0.0007"),
     dict(kind="step", settings={"step.load": 25, "model.dt": 0.0007})),
    (("step", "20", "--set", "step.profile=ramp", "--set", "step.ramp=300", "--set", "model.J=0.0344"),
     dict(kind="step", load=20, settings={"step.profile": "ramp", "step.ramp": 300, "model.J": 0.0344})),
    (("step", "5", "--set", "step.profile=periodic", "--set", "step.amplitude=3"),
     dict(kind="step", load=5, settings=motormodel.Settings({"step.profile": "periodic", "step.amplitude": 3.0}))),
    (("step", "20", "--set", "model.kind=dq", "--set", "run.steps=3000", "--set", "supply.dip_on=1500"),
     dict(kind="step", load=20, settings={"model.kind": "dq", "run.steps": 3000, "supply.dip_on": 1500})),
    (("gauss", "--seed", "2", "--set", "model.kind=dq", "--set", "model.integrator=euler", "--set", "model.dt=1e-5"),
     dict(kind="gauss", seed=2, settings={"model.kind": "dq", "model.integrator": "euler", "model.dt": 1e-5})),
]


class SameBitsAsTheBatchTool(unittest.TestCase):
    def test_arrays_are_the_csv(self):
        for arguments, call in RUNS:
            with self.subTest(arguments=arguments):
                out, err = cli(*arguments, "--csv", "-", "--time")
                expected = columns(out)
                run = motormodel.run(**call)
                self.assertEqual(run.outcome, "done")
                self.assertEqual(("step", "t") + run.quantities, tuple(expected))
                for name in ("step", "t") + run.quantities:
                    self.assertTrue(np.array_equal(bits(run[name] if name in run.quantities else getattr(run, name)),
                                                   bits(expected[name])), name)
                if run.kind == "step":
                    maxima = dict(line.split(" ", 2)[1:] for line in err.splitlines())
                    self.assertEqual(run.maxima, {"Md": float(maxima["M"]), "Omega": float(maxima["Omega"])})

    def test_metrics_are_the_metrics_csv(self):
        for arguments, load, settings in [
                (("10",), 10, None),
                (("0",), 0, None),
                (("30",), 30, None),
                (("20", "--set", "step.on=200", "--set", "step.off=1500"), 20, {"step.on": 200, "step.off": 1500}),
                (("15", "--set", "step.profile=fan", "--set", "step.k=0.0004"), 15,
                 {"step.profile": "fan", "step.k": 0.0004}),
                (("25", "--set", "model.kind=dq", "--set", "run.steps=6000"), 25,
                 {"model.kind": "dq", "run.steps": 6000})]:
            with self.subTest(arguments=arguments):
                out, _ = cli("step", *arguments, "--metrics", "-", "--time")
                expected = rows(out)
                table = motormodel.run("step", load, settings).metrics()
                self.assertEqual(table.columns, ["quantity"] + list(expected[0])[1:])
                self.assertEqual(len(table), len(expected))
                for got, row in zip(table, expected):
                    want = {name: cell(text) for name, text in row.items() if name not in ("trace", "segment")}
                    self.assertEqual(got, {"quantity": row["trace"], "segment": row["segment"], **want})

    def test_stats_are_the_stats_csv(self):
        out, _ = cli("gauss", "--seed", "3", "--stats", "-", "--from", "1000", "--to", "1999")
        got = motormodel.run("gauss", seed=3).stats(1000, 1999)
        for mine, row in zip(got, rows(out), strict=True):
            self.assertEqual(mine, {("quantity" if n == "trace" else n): cell(t) if n != "trace" else t
                                    for n, t in row.items()})

    def test_metrics_convert_to_a_data_frame(self):
        table = motormodel.run("step", 10).metrics()
        frame = table.to_pandas()
        self.assertEqual(list(frame.columns), table.columns)
        self.assertEqual(frame["t63_steps"].tolist(), [row["t63_steps"] for row in table])

    def test_characteristic_is_the_batch_tools(self):
        out, err = cli("characteristic", "--load", "10", "--set", "model.Mk=20", "--csv", "-")
        curve = motormodel.characteristic({"model.Mk": 20.0}, load=10)
        for name, values in columns(out).items():
            self.assertTrue(np.array_equal(bits(getattr(curve, name)), bits(values)), name)
        words = err.split()
        self.assertEqual((curve.operating_point["Omega"], curve.operating_point["Md"]),
                         (float(words[3]), float(words[5])))
        self.assertIsNone(motormodel.characteristic(load=200).operating_point)

    def test_sweep_members_are_the_sweeps_blocks(self):
        for arguments, call in [(("step.load=0:30:10", "step"), ("step.load", "0:30:10", "step")),
                                (("uniform.high=18,20", "uniform", "--seed", "5"),
                                 ("uniform.high", [18, 20.5], "uniform"))]:
            with self.subTest(arguments=arguments):
                out, _ = cli("sweep", *arguments, "--csv", "-")
                table = rows(out)
                name = arguments[0].split("=")[0]
                members = motormodel.sweep(*call, seed=5 if call[2] == "uniform" else None)
                values = [member.member[1] for member in members]
                for member in members[: 1 if call[2] == "uniform" else None]:
                    block = [r for r in table if r[name] == member.member[1]]
                    self.assertEqual(member.member[0], name)
                    for quantity in ("Md", "Omega"):
                        self.assertTrue(np.array_equal(bits(member[quantity]),
                                                       bits([float(r[quantity]) for r in block])))
                self.assertEqual(values, ["0", "10", "20", "30"] if call[2] == "step" else ["18", "20.5"])

    def test_session_runs_are_made_again(self):
        import tempfile, os
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "lab.session.toml")
            cli("uniform", "--seed", "9", "--session", path)
            again = motormodel.session(path)
            run = motormodel.run("uniform", seed=9)
            self.assertEqual(len(again.runs), 1)
            self.assertTrue(np.array_equal(bits(again.runs[0].Md), bits(run.Md)))

    def test_a_refused_load_is_an_outcome(self):
        _, err = cli("step", "31", status=3)
        run = motormodel.run("step", 31)
        self.assertEqual((run.outcome, run.message, len(run)), ("refused", err.splitlines()[0], 0))
        self.assertRaises(ValueError, run.metrics)

    def test_a_load_not_an_integer_fails_the_run(self):
        run = motormodel.run("step", "1.5")
        self.assertEqual((run.outcome, len(run)), ("failed", 0))
        self.assertTrue(run.message)


if __name__ == "__main__":
    unittest.main()

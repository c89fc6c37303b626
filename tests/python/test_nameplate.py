"""The d-q machine from a rating plate: the module gives the batch tool's
machine and figures, and refuses what the batch tool refuses, in its words."""

import os
import tempfile
import unittest

import motormodel
from batch import cli, rows

# A 7.5 kW four-pole motor's plate and catalogue.
PLATE = dict(power=7500, voltage=400, connection="star", frequency=50, speed=1440, current=14.8, cos_phi=0.84,
             efficiency=0.875, mk=2.7, mst=2.2, ist=7)


def rated(plate):
    return ",".join(f"{name}={value}" for name, value in plate.items())


class FromNameplate(unittest.TestCase):
    def test_the_module_gives_the_batch_tools_machine_and_figures(self):
        settings, figures = motormodel.parameters_from_nameplate(**PLATE)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "motor.toml")
            csv_path = os.path.join(folder, "figures.csv")
            cli("parameters", "--rated", rated(PLATE), "-o", path, "--csv", csv_path)
            self.assertEqual(motormodel.Settings.load(path), settings)
            with open(csv_path) as file:
                written = rows(file.read())
        self.assertEqual([row["figure"] for row in written], [row["figure"] for row in figures])
        for row, figure in zip(written, figures):
            self.assertEqual(float(row["fitted"]), figure["fitted"])
            self.assertEqual(float(row["deviation_percent"]), figure["deviation_percent"])
            self.assertEqual(row["assumed"] == "yes", figure["assumed"])
        self.assertEqual(settings["model.kind"], "dq")
        self.assertEqual(settings["model.U"], 400 / 3 ** 0.5)
        self.assertEqual(settings["model.p"], 2)

    def test_the_settings_given_are_kept(self):
        settings, _ = motormodel.parameters_from_nameplate(**PLATE, settings={"model.J": 0.05, "run.steps": 5000})
        self.assertEqual((settings["model.J"], settings["run.steps"]), (0.05, 5000))

    def test_impossible_plates_are_refused_as_the_batch_tool_refuses_them(self):
        for name, value in (("efficiency", 1.2), ("cos_phi", 1.1), ("speed", 1500)):
            with self.subTest(figure=name):
                plate = dict(PLATE, **{name: value})
                _, err = cli("parameters", "--rated", rated(plate), status=2)
                with self.assertRaises(ValueError) as raised:
                    motormodel.parameters_from_nameplate(**plate)
                self.assertTrue(str(raised.exception).startswith(name + " must be"))
                self.assertEqual(err.splitlines()[0], "motormodel-cli: " + str(raised.exception))
        with self.assertRaises(ValueError):
            motormodel.parameters_from_nameplate(**dict(PLATE, connection="zigzag"))


if __name__ == "__main__":
    unittest.main()

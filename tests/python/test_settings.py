"""Settings from dicts and files, and what is not allowed as exceptions
that say what the batch tool says."""

import os
import tempfile
import tomllib
import unittest

import motormodel
from batch import cli


class SettingsAsValues(unittest.TestCase):
    def test_a_dict_and_a_file_give_the_settings_back(self):
        settings = motormodel.Settings({"model.J": 0.0344, "run.steps": 3000, "step.profile": "fan", "run.seed": 7})
        self.assertEqual(motormodel.Settings.from_dict(settings.to_dict()), settings)
        self.assertEqual(motormodel.Settings.from_toml(settings.to_toml()), settings)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "lab.toml")
            settings.save(path)
            self.assertEqual(motormodel.Settings.load(path), settings)
            # The batch tool reads the file as the module wrote it.
            out, _ = cli("settings", "--settings", path)
            self.assertEqual(out, settings.to_toml())

    def test_the_file_is_the_batch_tools(self):
        out, _ = cli("settings", "--set", "model.J=0.0344", "--set", "step.load=12")
        self.assertEqual(motormodel.Settings({"model.J": 0.0344, "step.load": 12}).to_toml(), out)

    def test_the_dict_holds_what_the_file_holds(self):
        for given in ({}, {"model.kind": "dq", "supply.dip_on": 100}):
            with self.subTest(given=given):
                out, _ = cli("settings", *[f"--set={n}={v}" for n, v in given.items()])
                written = [f"{table}.{key}" for table, keys in tomllib.loads(out).items() for key in keys]
                self.assertEqual(list(motormodel.Settings(given).to_dict()), written)
        self.assertIsNone(motormodel.Settings()["step.load"])

    def test_items_set_and_read_by_name(self):
        settings = motormodel.Settings()
        settings["model.J"] = 0.05
        settings["run.steps"] = 100
        self.assertEqual((settings["model.J"], settings["run.steps"]), (0.05, 100))
        self.assertEqual(len(motormodel.run("step", 1, settings)), 100)
        with self.assertRaises(TypeError):
            settings["run.steps"] = True


class ErrorsSayWhatTheBatchToolSays(unittest.TestCase):
    # Each refused setting as a dict and as --set, with the kind of problem.
    REFUSED = [
        ({"model.J": -1}, "model.J=-1", motormodel.ProblemKind.NotAllowed, "model.J", "-1"),
        ({"run.steps": 0}, "run.steps=0", motormodel.ProblemKind.NotAllowed, "run.steps", "0"),
        ({"step.profile": "saw"}, "step.profile=saw", motormodel.ProblemKind.NotAllowed, "step.profile", '"saw"'),
        ({"model.JJ": 1.0}, "model.JJ=1", motormodel.ProblemKind.UnknownSetting, "", "model.JJ"),
        ({"step.on": 1500}, "step.on=1500", motormodel.ProblemKind.NotAllowed, "step.on", "1500"),
    ]

    def test_settings_not_allowed(self):
        for values, option, kind, setting, value in self.REFUSED:
            with self.subTest(option=option):
                _, err = cli("step", "10", "--set", option, status=2)
                with self.assertRaises(motormodel.SettingsError) as raised:
                    motormodel.run("step", 10, values)
                error = raised.exception
                self.assertIsInstance(error, ValueError)
                self.assertEqual((error.kind, error.setting), (kind, setting))
                self.assertIn(value, error.value)
                if kind == motormodel.ProblemKind.UnknownSetting:
                    self.assertEqual(error.nearest, "model.J")
                self.assertEqual("motormodel-cli: " + str(error), err.strip())

    def test_a_files_error_names_its_place(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "lab.toml")
            with open(path, "w") as file:
                file.write("[model]\n\nJ = -2\n")
            _, err = cli("settings", "--settings", path, status=2)
            with self.assertRaises(motormodel.SettingsError) as raised:
                motormodel.Settings.load(path)
            self.assertEqual((raised.exception.file, raised.exception.line), (path, 3))
            self.assertEqual("motormodel-cli: " + str(raised.exception), err.strip())

    def test_a_seed_out_of_range(self):
        _, err = cli("gauss", "--set", "run.seed=-1", status=2)
        with self.assertRaises(motormodel.SettingsError) as raised:
            motormodel.run("gauss", seed=-1)
        self.assertEqual(raised.exception.setting, "run.seed")
        self.assertEqual("motormodel-cli: " + str(raised.exception), err.strip())

    def test_wrong_arguments(self):
        for call, error in [(lambda: motormodel.run("sine"), ValueError),
                            (lambda: motormodel.run("gauss", 10), ValueError),
                            (lambda: motormodel.run("step"), ValueError),
                            (lambda: motormodel.run("step", 1.5), TypeError),
                            (lambda: motormodel.run("step", 10).stats(0, 2000), ValueError),
                            (lambda: motormodel.run("gauss").metrics(), ValueError),
                            (lambda: motormodel.Settings({"model.J": [1]}), TypeError)]:
            with self.subTest(error=error):
                self.assertRaises(error, call)


if __name__ == "__main__":
    unittest.main()

"""The lab's figures in docs/ are made, as a user would run the file."""

import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

import matplotlib.image

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "docs" / "lab-figures.py"

# Each figure and its size in pixels, as the script saves it.
FIGURES = {"step-response.png": (500, 700), "family.png": (400, 700), "characteristic.png": (500, 500),
           "gauss-histogram.png": (300, 700)}


class LabFigures(unittest.TestCase):
    def test_the_script_makes_every_figure(self):
        with tempfile.TemporaryDirectory() as folder:
            done = subprocess.run([sys.executable, str(SCRIPT), folder], capture_output=True, text=True,
                                  env={**os.environ, "MPLBACKEND": "Agg"})
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(sorted(os.listdir(folder)), sorted(FIGURES))
            for name, size in FIGURES.items():
                with self.subTest(figure=name):
                    pixels = matplotlib.image.imread(os.path.join(folder, name))
                    self.assertEqual(pixels.shape[:2], size)
                    # Something is drawn: not one colour throughout.
                    self.assertGreater(pixels.std(), 0.05)
            # The step characteristics are printed as a table.
            self.assertIn("t63_seconds", done.stdout)


if __name__ == "__main__":
    unittest.main()

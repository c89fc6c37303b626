"""The lab's notebook in docs/ runs from its first cell to its last and makes its figures.

Its code cells run in order in one namespace, in a Python of their own, as
Jupyter's "Run all" runs them; no Jupyter is needed for that.
"""

import json
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

import matplotlib.image

NOTEBOOK = pathlib.Path(__file__).resolve().parents[2] / "docs" / "lab-figures.ipynb"

# Each figure and its size in pixels, as the notebook saves it.
FIGURES = {"step-response.png": (500, 700), "family.png": (400, 700), "characteristic.png": (500, 500),
           "gauss-histogram.png": (300, 700)}

RUN_ALL = """
import json, sys
namespace = {"__name__": "__main__"}
for cell in json.load(open(sys.argv[1], encoding="utf-8"))["cells"]:
    if cell["cell_type"] == "code":
        exec(compile("".join(cell["source"]), cell["id"], "exec"), namespace)
"""


class LabNotebook(unittest.TestCase):
    def test_is_a_notebook_without_stale_outputs(self):
        notebook = json.loads(NOTEBOOK.read_text(encoding="utf-8"))
        self.assertEqual(notebook["nbformat"], 4)
        code = [cell for cell in notebook["cells"] if cell["cell_type"] == "code"]
        self.assertTrue(code)
        # Outputs kept in the file would show what an older program made.
        self.assertEqual([cell["outputs"] for cell in code], [[]] * len(code))

    def test_running_all_cells_makes_every_figure(self):
        with tempfile.TemporaryDirectory() as folder:
            done = subprocess.run([sys.executable, "-c", RUN_ALL, str(NOTEBOOK)], capture_output=True, text=True,
                                  env={**os.environ, "MPLBACKEND": "Agg", "MOTORMODEL_FIGURES": folder})
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

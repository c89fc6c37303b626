# %% [markdown]
# # A first lab with motormodel, from Python
#
# The figures of a lab on the induction motor's dynamics: a step response
# with its time constant, a family of step responses, and the mechanical
# characteristic with its operating point. The cells run in Jupyter (open
# the file with jupytext, or as VS Code's cells) or as a script:
#
#     PYTHONPATH=build/python python3 docs/lab-figures.py figures/
#
# Each figure is saved into the folder given (figures/ by default).

# %%
import pathlib
import sys

import matplotlib

if "ipykernel" not in sys.modules:
    matplotlib.use("Agg")
import matplotlib.pyplot as plt
import pandas as pd

import motormodel

folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 and "ipykernel" not in sys.modules else "figures")
folder.mkdir(parents=True, exist_ok=True)

# %% [markdown]
# ## 1. The step response to a load of 10
#
# The load goes on at step 0 and comes off at step 1000. The time constant
# t63 of the speed while the load acts is where Omega has covered 63.2 % of
# its change.

# %%
run = motormodel.run("step", 10)
metrics = run.metrics().to_pandas()
print(metrics[["quantity", "segment", "initial", "final", "t63_seconds", "settled"]])

on = metrics[(metrics.quantity == "Omega") & (metrics.segment == "on")].iloc[0]
figure, (torque, speed) = plt.subplots(2, 1, sharex=True, figsize=(7, 5))
torque.plot(run.t, run.Md, color="tab:red")
torque.set_ylabel("Md, N·m")
speed.plot(run.t, run.Omega, color="tab:blue")
speed.set_ylabel("Omega, rad/s")
speed.set_xlabel("t, s")
if pd.notna(on.t63_seconds):
    level = on.initial + 0.632 * (on.final - on.initial)
    speed.axhline(level, color="gray", linestyle=":")
    speed.axvline(on.t63_seconds, color="gray", linestyle=":")
    speed.annotate(f"t63 = {on.t63_seconds:.3f} s", (on.t63_seconds, level), xytext=(10, -20),
                   textcoords="offset points")
figure.suptitle(f"Step response, load {run.load}")
figure.savefig(folder / "step-response.png", dpi=100)

# %% [markdown]
# ## 2. A family: the load from 0 to 30

# %%
family = motormodel.sweep("step.load", "0:30:10", "step")
figure, axes = plt.subplots(figsize=(7, 4))
for member in family:
    axes.plot(member.t, member.Omega, label=f"Mc = {member.member[1]}")
axes.set_xlabel("t, s")
axes.set_ylabel("Omega, rad/s")
axes.legend()
figure.savefig(folder / "family.png", dpi=100)

# %% [markdown]
# ## 3. The mechanical characteristic and the operating point under a load of 10

# %%
curve = motormodel.characteristic(load=10)
point = curve.operating_point
figure, axes = plt.subplots(figsize=(5, 5))
axes.plot(curve.Md, curve.Omega, label="motor")
axes.axvline(10, color="tab:orange", label="load")
axes.plot(point["Md"], point["Omega"], "ko")
axes.annotate(f"Omega = {point['Omega']:.3f} rad/s", (point["Md"], point["Omega"]), xytext=(10, 10),
              textcoords="offset points")
axes.set_xlabel("Md, N·m")
axes.set_ylabel("Omega, rad/s")
axes.legend()
figure.savefig(folder / "characteristic.png", dpi=100)

# %% [markdown]
# ## 4. A random load: statistics of the second half

# %%
gauss = motormodel.run("gauss", seed=7)
print(gauss.stats(1000, 1999).to_pandas())
figure, axes = plt.subplots(figsize=(7, 3))
axes.hist(gauss.Omega[1000:], bins=40)
axes.set_xlabel("Omega, rad/s")
figure.savefig(folder / "gauss-histogram.png", dpi=100)

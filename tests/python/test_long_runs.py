"""Long runs: arrays over the run's own memory, the GIL free while a run
lasts, and Ctrl+C stopping it."""

import os
import signal
import sys
import threading
import time
import unittest

import numpy as np

import motormodel

LONGEST = {"run.steps": 10_000_000}


class ArraysViewTheRun(unittest.TestCase):
    def test_a_long_runs_arrays_share_its_memory(self):
        run = motormodel.run("gauss", settings=LONGEST, seed=1)
        self.assertEqual(len(run), 10_000_000)
        for name in ("Md", "Omega"):
            with self.subTest(quantity=name):
                first, second, by_name = getattr(run, name), getattr(run, name), run[name]
                # Each access makes a new array over the same memory, which
                # it does not own and may not write: no copy was made.
                self.assertIsNot(first, second)
                self.assertEqual(first.ctypes.data, second.ctypes.data)
                self.assertTrue(np.shares_memory(first, by_name))
                self.assertIs(first.base, run)
                self.assertFalse(first.flags.owndata)
                self.assertFalse(first.flags.writeable)
                self.assertEqual(first.nbytes, 80_000_000)
        self.assertFalse(np.shares_memory(run.Md, run.Omega))

    def test_arrays_keep_the_run(self):
        run = motormodel.run("step", 10)
        md, last = run.Md, float(run.Md[-1])
        address = md.ctypes.data
        del run
        # Memory freed with the run would be handed out again here.
        [motormodel.run("step", 20).Md for _ in range(3)]
        self.assertEqual((md.ctypes.data, float(md[-1])), (address, last))


class RunsLeavePythonRunning(unittest.TestCase):
    def test_a_run_leaves_another_thread_running(self):
        counter = [0]
        seen = []
        stop = threading.Event()

        def count():
            while not stop.is_set():
                counter[0] += 1
                time.sleep(1e-4)

        def progress(done, total):
            seen.append(counter[0])

        # No thread is made to give the GIL up while the run lasts: the
        # count can go on only where the run lets the GIL go.
        interval = sys.getswitchinterval()
        sys.setswitchinterval(100)
        counting = threading.Thread(target=count)
        counting.start()
        try:
            motormodel.run("gauss", settings=LONGEST, seed=2, progress=progress)
        finally:
            stop.set()
            counting.join()
            sys.setswitchinterval(interval)
        self.assertGreater(len(seen), 100)
        self.assertGreater(seen[-1], seen[0])

    def test_runs_in_threads_are_the_same_bits(self):
        results = [None] * 3

        def make(i):
            results[i] = motormodel.run("uniform", settings={"run.steps": 200_000}, seed=11)

        threads = [threading.Thread(target=make, args=(i,)) for i in range(3)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        for result in results[1:]:
            self.assertTrue(np.array_equal(result.Omega, results[0].Omega))


class CtrlCStopsARun(unittest.TestCase):
    def test_keyboard_interrupt_stops_a_long_run(self):
        looks = []
        started = threading.Event()

        def progress(done, total):
            looks.append(done)
            started.set()

        # Ctrl+C as the terminal sends it, once the run has begun.
        interrupter = threading.Thread(target=lambda: started.wait() and os.kill(os.getpid(), signal.SIGINT))
        interrupter.start()
        with self.assertRaises(KeyboardInterrupt):
            motormodel.run("uniform", settings=LONGEST, seed=4, progress=progress)
        interrupter.join()
        self.assertLess(looks[-1], 10_000_000 - 65536 * 10)

    def test_an_error_in_progress_stops_the_run(self):
        def progress(done, total):
            raise ArithmeticError(done)

        with self.assertRaises(ArithmeticError) as raised:
            motormodel.run("step", 10, settings=LONGEST, progress=progress)
        self.assertEqual(raised.exception.args, (65536,))

    def test_ctrl_c_stops_a_sweep(self):
        started = threading.Event()
        interrupter = threading.Thread(target=lambda: started.wait() and os.kill(os.getpid(), signal.SIGINT))
        interrupter.start()
        with self.assertRaises(KeyboardInterrupt):
            motormodel.sweep("step.load", range(0, 30, 3), "step", settings=LONGEST,
                             progress=lambda done, total: started.set())
        interrupter.join()


if __name__ == "__main__":
    unittest.main()

"""Analyses per second by the batch, on each road, against the calculation core alone.

Makes N input files of the size of bm1-10 (its 28 pile types on one CPT, two pile-tip levels), then
times, with the open calculation core doing the work:
  - the core alone (dfoundations.calculate on each file's bytes, one thread): the floor;
  - `dfoundations run FILE... -o DIR --engine core` (the program's batch, all cores);
  - run_analyses on a thread pool of 1 and of 2 threads;
  - run_analyses on a local Dask cluster of 1 and of 2 worker processes;
and prints analyses per second and the cost per analysis of each road over the core alone. The machine
is shared, so read the figures with its load in mind; each road runs REPEATS times and the best run
counts. Run by hand after building the package and the program:

    PYTHONPATH=build/python /usr/bin/python3 bench/python_batch.py [--count 1000] [--repeats 3]
        [--input ../shared/fixtures/core/v25/bm1-10.foi] [--program build/bin/dfoundations]
"""

import argparse
import concurrent.futures
import pathlib
import shutil
import subprocess
import tempfile
import time

import dfoundations as dfo


def best_of(repeats, run):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--count", type=int, default=1000)
    arguments.add_argument("--repeats", type=int, default=3)
    arguments.add_argument("--input", type=pathlib.Path,
                           default=pathlib.Path(__file__).resolve().parents[2] / "shared/fixtures/core/v25/bm1-10.foi")
    arguments.add_argument("--program", type=pathlib.Path,
                           default=pathlib.Path(__file__).resolve().parents[1] / "build/bin/dfoundations")
    options = arguments.parse_args()
    data = options.input.read_bytes()
    inputs = [data] * options.count
    results = {}

    results["core alone"] = best_of(options.repeats, lambda: [dfo.calculate(item) for item in inputs])

    folder = pathlib.Path(tempfile.mkdtemp(prefix="dfoundations-batch-"))
    try:
        paths = []
        for i in range(options.count):
            path = folder / f"analysis-{i:05d}.foi"
            path.write_bytes(data)
            paths.append(str(path))
        out = folder / "out"
        out.mkdir()
        results["program batch (all cores)"] = best_of(options.repeats, lambda: subprocess.run(
            [str(options.program), "run", *paths, "-o", str(out), "--engine", "core"], check=True,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    for threads in (1, 2):
        def threaded(threads=threads):
            with concurrent.futures.ThreadPoolExecutor(threads) as executor:
                dfo.run_analyses(inputs, executor=executor, engine="core")
        results[f"run_analyses, {threads} thread(s)"] = best_of(options.repeats, threaded)

    try:
        import distributed
    except ImportError:
        distributed = None
    if distributed is not None:
        for workers in (1, 2):
            with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, host="127.0.0.1",
                                          dashboard_address=None, silence_logs=40) as cluster, \
                    distributed.Client(cluster) as client:
                dfo.run_analyses(inputs[:20], client=client, engine="core")  # warm the workers
                results[f"run_analyses on Dask, {workers} worker(s)"] = best_of(
                    options.repeats, lambda: dfo.run_analyses(inputs, client=client, engine="core"))

    floor = results["core alone"] / options.count
    print(f"{options.count} analyses of {options.input.name}, best of {options.repeats}")
    for road, seconds in results.items():
        per = seconds / options.count
        print(f"  {road:38s} {options.count / seconds:9.1f} analyses/s   {per * 1e3:7.2f} ms each"
              f"   (+{(per - floor) * 1e3:6.2f} ms over the core)")
    for road in ("run_analyses, {} thread(s)", "run_analyses on Dask, {} worker(s)"):
        one, two = results.get(road.format(1)), results.get(road.format(2))
        if one and two:
            print(f"  {road.format('1→2')}: {one / two:.2f}x")


if __name__ == "__main__":
    main()

"""Reading a many-MB output file into pandas DataFrames from Python, against the same read in C++.

Writes the tall files of the C++ benchmarks (four tables of ROWS rows each), times in Python
  - OutputFileParser(text): calculation parameters and results() as DataFrames, against
    output_bench's BM_TallFile (the same parse of the same decoded text into DataTables; given
    bytes instead, both sides first check that they are UTF-8), and
  - read_output_file(bytes) and every table's .data as a DataFrame, against output_file_bench's
    BM_ReadTallFile (the same read, tables left as DataTables),
and prints the median of each and the ratio. The machine's load shifts during a run, so the two
sides take turns, round by round. Run by hand, after building the benchmarks and the package:

    PYTHONPATH=build/python /usr/bin/python3 bench/python_read_output.py [--rows N] [--repeats N] [--bin build/bin]
"""

import argparse
import json
import pathlib
import statistics
import subprocess
import tempfile
import time

import dfoundations as dfo


def cpp_milliseconds(binary, name, rows, repeats):
    done = subprocess.run([str(binary), f"--benchmark_filter=^{name}/{rows}$", "--benchmark_format=json",
                           f"--benchmark_repetitions={repeats}", "--benchmark_min_time=0"],
                          capture_output=True, text=True, check=True)
    runs = [run for run in json.loads(done.stdout)["benchmarks"] if run.get("run_type") == "iteration"]
    scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}
    return [run["real_time"] * scale[run["time_unit"]] for run in runs]


def python_milliseconds(read, repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        read()
        times.append((time.perf_counter() - start) * 1000)
    return times


def parse_into_frames(data):
    parser = dfo.OutputFileParser(data)
    parser.calculation_parameters
    return parser.results()


def read_into_frames(data):
    file = dfo.read_output_file(data)
    return [table.data for table in file.tables()]


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("--rows", type=int, default=48000, help="rows per table of the parser's file")
    arguments.add_argument("--read-rows", type=int, default=100000, help="rows per table of the whole-file read")
    arguments.add_argument("--rounds", type=int, default=5, help="turns of each side")
    arguments.add_argument("--repeats", type=int, default=3, help="reads per turn")
    arguments.add_argument("--bin", type=pathlib.Path, default=pathlib.Path("build/bin"))
    options = arguments.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        cases = [
            ("OutputFileParser -> DataFrames", options.bin / "output_bench", "BM_TallFile", options.rows,
             parse_into_frames),
            ("read_output_file -> DataFrames", options.bin / "output_file_bench", "BM_ReadTallFile",
             options.read_rows, read_into_frames),
        ]
        for title, binary, benchmark, rows, read in cases:
            path = pathlib.Path(scratch) / f"{benchmark}.fod"
            subprocess.run([str(binary), f"--write-file={path}", str(rows)], check=True)
            data = path.read_bytes()
            if read is parse_into_frames:
                data = data.decode("utf-8")  # the C++ benchmark parses decoded text too
            frames = read(data)
            cells = sum(frame.size for frame in (frames.values() if isinstance(frames, dict) else frames))
            python, cpp = [], []
            for _ in range(options.rounds):
                python += python_milliseconds(lambda: read(data), options.repeats)
                cpp += cpp_milliseconds(binary, benchmark, rows, options.repeats)
            python, cpp = statistics.median(python), statistics.median(cpp)
            reads = options.rounds * options.repeats
            print(f"{title}: {len(data) / 1e6:.1f} MB, {cells} cells; median of {reads} reads each: "
                  f"Python {python:.1f} ms, C++ {cpp:.1f} ms, ratio {python / cpp:.2f}")


if __name__ == "__main__":
    main()

"""Reads every output file (.fod) of a folder into one DataFrame: the rows of every table of one
name, with the file and the table's path in front. The files are read on several threads at once.

    python3 examples/python/read_folder.py FOLDER [TABLE NAME] [OUT.csv]
    (default table: MAX SHAFT AND POINT; without OUT.csv the frame is printed)
"""

import concurrent.futures
import os
import pathlib
import sys

import pandas as pd

import dfoundations as dfo


def tables_of(path, name):
    """The tables of that name in one file, each with the file's name and the table's path."""
    file = dfo.read_output_file(path)
    frames = []
    for table in file.tables():
        if table.name == name and table.error is None:
            frame = table.data
            frame.insert(0, "path", table.path)
            frame.insert(0, "file", path.name)
            frames.append(frame)
    return frames


def read_folder(folder, name):
    paths = sorted(pathlib.Path(folder).glob("*.fod"))
    # Reading releases the GIL, so threads read files side by side.
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count()) as pool:
        per_file = list(pool.map(lambda path: tables_of(path, name), paths))
    frames = [frame for frames in per_file for frame in frames]
    return pd.concat(frames, ignore_index=True) if frames else pd.DataFrame()


def main(folder, name="MAX SHAFT AND POINT", csv=None):
    frame = read_folder(folder, name)
    if csv:
        frame.to_csv(csv, index=False)
        print(f"{csv}: {len(frame)} rows")
    else:
        print(frame.to_string())


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3, 4):
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except (dfo.Error, OSError, ValueError) as error:
        sys.exit(f"{type(error).__name__}: {error}")

"""Reads a D-Foundations 25.1 preliminary design and plots the design bearing capacity against the
pile tip level, one panel per pile type and one line per CPT, as a PNG.

    python3 examples/python/plot_bearing_capacity.py FILE.fod [PLOT.png]   (default: FILE.png)
"""

import pathlib
import sys

import matplotlib

matplotlib.use("Agg")  # files only, no window
import matplotlib.pyplot as plt  # noqa: E402

import dfoundations as dfo  # noqa: E402


def plot(fod_path, png_path):
    file = dfo.read_output_file(pathlib.Path(fod_path))
    piles = [pile for pile in dfo.piles(file) if any(table.name == "ITERATION RESULTS" for table in pile.tables)]
    if not piles:
        raise ValueError(f"{fod_path} holds no preliminary design with iteration results")
    columns = min(4, len(piles))
    rows = -(-len(piles) // columns)
    figure, axes = plt.subplots(rows, columns, sharey=True, figsize=(4 * columns, 3.5 * rows), squeeze=False)
    for ax in axes.flat[len(piles):]:
        ax.set_visible(False)
    for pile, ax in zip(piles, axes.flat):
        results = next(table for table in pile.tables if table.name == "ITERATION RESULTS").data
        for cpt, rows in results.groupby("CptName", sort=False):
            ax.plot(rows["RcD"], rows["Level"], marker="o", label=cpt)
        ax.set_title(pile.name, fontsize="small")
        ax.set_xlabel("R_c;d [kN]")
        ax.grid(True)
        ax.legend(fontsize="small")
    for ax in axes[:, 0]:
        ax.set_ylabel("Pile tip level [m]")
    figure.suptitle(f"Bearing capacity per CPT ({file.header.version})")
    figure.tight_layout(rect=(0, 0, 1, 0.97))  # room for the title
    figure.savefig(png_path)
    return len(piles)


def main(fod_path, png_path=None):
    png_path = png_path or str(pathlib.Path(fod_path).with_suffix(".png"))
    count = plot(fod_path, png_path)
    print(f"{png_path}: {count} pile type(s)")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except (dfo.Error, OSError, ValueError) as error:
        sys.exit(f"{type(error).__name__}: {error}")

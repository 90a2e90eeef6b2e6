"""A parametric study: every pile type of a project at every pile-tip level on every CPT, one analysis
each, computed by the open calculation core on a Dask cluster, gathered into one DataFrame and plotted.

    python3 examples/python/parametric_study.py PROJECT.foi... [--levels TOP BOTTOM STEP]
                                                [--scheduler tcp://host:8786] [--out study]

Without --scheduler the analyses run on a local cluster of two worker processes on this machine; with
it, on the cluster that `dask scheduler` and `dask worker tcp://host:8786` started on other machines
(each with this package installed). Writes study.csv (every row of every analysis) and study.png
(the design bearing capacity RcD against the pile-tip level, one panel per pile type).
"""

import argparse
import copy
import pathlib

import matplotlib

matplotlib.use("Agg")  # files only, no window
import matplotlib.pyplot as plt  # noqa: E402

import dfoundations as dfo  # noqa: E402

def pile_tip_levels(top, bottom, step):
    count = int(round((top - bottom) / step)) + 1
    return [round(top - i * step, 2) for i in range(count)]


def analyses(project, levels):
    """One input file per pile type, CPT and pile-tip level: the project with only those selected."""
    data = project.read_bytes()
    document = dfo.read_input_file(data).document
    for pile_type in document["pile_types"]:
        for profile in document["profiles"]:
            for level in levels:
                study = dfo.read_input_file(data)
                edited = study.document
                edited["pile_types"] = [copy.deepcopy(pile_type)]
                edited["profiles"] = [copy.deepcopy(profile)]
                edited["calculation_options"]["trajectory_begin_end_interval"] = [level, level, 1.0]
                yield study.generate_input_file()


def main():
    arguments = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    arguments.add_argument("projects", nargs="+", type=pathlib.Path, help="input files (.foi) of preliminary designs")
    arguments.add_argument("--levels", nargs=3, type=float, default=(-10.0, -25.0, 1.0),
                           metavar=("TOP", "BOTTOM", "STEP"), help="pile-tip levels of the study [m]")
    arguments.add_argument("--scheduler", help="address of a running Dask scheduler; default: a local cluster")
    arguments.add_argument("--out", type=pathlib.Path, default=pathlib.Path("study"), help="CSV and PNG stem")
    options = arguments.parse_args()

    import distributed  # only needed here: the package itself runs without Dask

    levels = pile_tip_levels(*options.levels)
    inputs = [input_file for project in options.projects for input_file in analyses(project, levels)]
    if options.scheduler:
        client = distributed.Client(options.scheduler)
    else:
        cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, host="127.0.0.1",
                                           dashboard_address=None, silence_logs=40)
        client = distributed.Client(cluster)
    with client:
        results = dfo.run_analyses(inputs, client=client, engine="core")
    failed = [result for result in results if isinstance(result, Exception)]
    frame = dfo.summary(results)["Preliminary Design, Indication bearing capacity"]
    frame.to_csv(options.out.with_suffix(".csv"), index=False)

    pile_types = list(dict.fromkeys(frame.pile_type))
    columns = min(4, len(pile_types))
    rows = -(-len(pile_types) // columns)
    figure, axes = plt.subplots(rows, columns, sharey=True, figsize=(4 * columns, 3.2 * rows), squeeze=False)
    for ax in axes.flat[len(pile_types):]:
        ax.set_visible(False)
    for pile_type, ax in zip(pile_types, axes.flat):
        for cpt, data in frame[frame.pile_type == pile_type].groupby("cpt", sort=False):
            data = data.sort_values("Level")
            ax.plot(data.RcD, data.Level, marker=".", label=cpt)
        ax.set_title(pile_type, fontsize=9)
        ax.set_xlabel("RcD [kN]")
        ax.grid(True, alpha=0.3)
    for ax in axes[:, 0]:
        ax.set_ylabel("pile-tip level [m]")
    axes.flat[0].legend(fontsize=7)
    figure.tight_layout()
    figure.savefig(options.out.with_suffix(".png"), dpi=80)
    print(f"{len(inputs)} analyses, {len(failed)} failed, {len(frame)} rows: "
          f"{options.out.with_suffix('.csv')}, {options.out.with_suffix('.png')}")
    for error in failed[:5]:
        print(f"  {getattr(error, 'input_name', '?')}: {error}")


if __name__ == "__main__":
    main()

"""Computes the demo quay wall's indication of the bearing capacity with the open calculation core (no
D-Foundations needed), prints the design bearing capacity per pile-tip level, writes the output file and
plots it.

    python3 examples/python/bearing_capacity_core.py [OUTPUT.fod] [CPT.gef]
    (defaults: bearing_capacity.fod, examples/data/cpt_w01.gef; the input file and the plot go beside the
    output file)
"""

import pathlib
import sys

import dfoundations as dfo
from bearing_model import DATA, quay_wall
from plot_bearing_capacity import plot


def indication(cpt):
    """The demo model, asked for an indication of its bearing capacity from -10 m to -16 m."""
    return quay_wall(cpt, dfo.BearingPilesCalculationOptions(
        dfo.CalculationType.INDICATION_BEARING_CAPACITY, False, trajectory_begin_end_interval=(-10.0, -16.0, 0.5)))


def main(output="bearing_capacity.fod", cpt_file=DATA / "cpt_w01.gef"):
    model = indication(dfo.GEFData.from_file(cpt_file))
    results = dfo.calculate(model)
    rows = results.iteration_table()
    print(f"Indication of the bearing capacity, {results.rules.name} pile factors (open calculation core, "
          "not D-Foundations):")
    forces = ["RbCalMax", "RsCalMax", "RcD", "FNsfD", "RcNetD"]
    rows[forces] = rows[forces].round().astype(int)  # kN, as the output file prints them
    print(rows[["PileName", "CptName", "Level", *forces]].to_string(index=False))
    input_file = model.generate_input_file()
    pathlib.Path(output).with_suffix(".foi").write_bytes(input_file)
    pathlib.Path(output).write_bytes(dfo.write_output_file(results, input_file))
    png = pathlib.Path(output).with_suffix(".png")
    plot(output, png)
    print(f"wrote {output}, its input file and {png}")


if __name__ == "__main__":
    try:
        main(*sys.argv[1:3])
    except (dfo.Error, OSError, ValueError) as error:
        sys.exit(f"{type(error).__name__}: {error}")

"""Builds a Bearing Piles (EC7-NL) verification model on a CPT read from a GEF file and writes its
D-Foundations input file.

    python3 examples/python/bearing_model.py [INPUT.foi] [CPT.gef]
    (defaults: bearing_model.foi, examples/data/cpt_w01.gef)
"""

import pathlib
import sys

import dfoundations as dfo

DATA = pathlib.Path(__file__).resolve().parent.parent / "data"


def quay_wall(cpt, options=None):
    """The quay wall on `cpt`; a verification unless other calculation options are given."""
    options = options or dfo.BearingPilesCalculationOptions(
        dfo.CalculationType.COMPLETE_CALCULATION, False, max_allowed_settlement_str_geo=100,
        max_allowed_settlement_sls=30, cpt_test_level=-12.0)
    # CPT first, then the excavation to -0.5 m, then the piles; qc is reduced after Begemann.
    model = dfo.BearingPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -0.5, 2.0)
    model.create_material("Fill", dfo.SoilType.SAND, 17.0, 19.0, 30.0, color=dfo.Color(200, 180, 120))
    model.create_material("Soft clay", dfo.SoilType.CLAY, 14.0, 15.0, 17.5, color=dfo.Color(90, 120, 60))
    layers = [dfo.ProfileLayer(0.25, "Fill"), dfo.ProfileLayer(-2.0, "Soft clay"),
              dfo.ProfileLayer(-9.0, "BSand, clean, moderate")]
    model.import_profile(cpt, layers, 12.0, 3.5, -1.0, -17.5, 1.0, -4.2, -9.0, 0.05)
    model.create_pile_type("Prefab 400", dfo.RectPile(0.4, 0.4), dfo.PileType.PREFAB_CONCRETE,
                           dfo.PileSlipLayer.NONE, material=dfo.PileMaterial.CONCRETE)
    for number, x in enumerate((10.0, 12.0, 14.0), start=1):
        model.create_pile(f"P{number}", x, 3.5, -0.5, 0.0, 850.0, 600.0)
    return model


def main(output="bearing_model.foi", cpt_file=DATA / "cpt_w01.gef"):
    cpt = dfo.GEFData.from_file(cpt_file)
    model = quay_wall(cpt)
    input_file = model.generate_input_file(dfo.Metadata(company="Deltares", title_1="Quay wall", file_name=output))
    pathlib.Path(output).write_bytes(input_file)
    print(f"{output}: {len(input_file)} bytes, profile {cpt.name} with {len(cpt.elevation)} CPT rows")


if __name__ == "__main__":
    try:
        main(*sys.argv[1:3])
    except (dfo.Error, OSError, ValueError) as error:
        sys.exit(f"{type(error).__name__}: {error}")

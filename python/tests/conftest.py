"""What the tests share: where the data lives, the program that gives the C++ results, and a
small complete model of each kind."""

import json
import os
import pathlib
import subprocess
import tempfile

import pytest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
TEST_DATA = REPOSITORY / "tests" / "data"
EXAMPLE_DATA = REPOSITORY / "examples" / "data"
# The real D-Foundations files, beside the repository when they are there.
FIXTURES = REPOSITORY.parent / "shared" / "fixtures"
CLI = os.environ.get("DFOUNDATIONS_CLI", str(REPOSITORY / "build" / "bin" / "dfoundations"))

# The embedded platform keeps its temporary files here rather than in the user's store.
os.environ.setdefault("DFOUNDATIONS_STORE", tempfile.mkdtemp(prefix="dfoundations-pytest-"))

import dfoundations as dfo  # noqa: E402  (after the store is chosen)


def fixture_files(folder, pattern="*.fod"):
    """The real files of one fixture folder, or one skipped case when the folder is not there."""
    files = sorted((FIXTURES / folder).glob(pattern))
    if not files:
        return [pytest.param(None, marks=pytest.mark.skip(reason=f"no fixtures in {FIXTURES / folder}"))]
    return [pytest.param(path, id=f"{folder}/{path.name}") for path in files]


def run_cli(*arguments):
    """The program's JSON answer for the same file: what the C++ library reads."""
    if not os.path.exists(CLI):
        pytest.skip(f"the program {CLI} is not built")
    # A file the program refuses still prints its JSON; only the exit status says so.
    done = subprocess.run([CLI, *map(str, arguments)], capture_output=True, check=False)
    return json.loads(done.stdout)


@pytest.fixture
def bearing_model():
    options = dfo.BearingPilesCalculationOptions(
        dfo.CalculationType.INDICATION_BEARING_CAPACITY, False, trajectory_begin_end_interval=(-10.0, -20.0, 0.5))
    model = dfo.BearingPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -1.0, 2.5)
    model.create_material("Peat", dfo.SoilType.PEAT, 10.0, 10.5, 15.0, color=dfo.Color(90, 60, 30))
    model.create_profile("CPT-01", [dfo.ProfileLayer(0.0, "Peat"), dfo.ProfileLayer(-3.0, "BSand, clean, loose")],
                         155000.0, 463000.0, [[0.2, 0.8], [-5.0, 12.5]], -0.8, -18.0, 1.0, -3.0, -12.0, 0.05)
    model.create_pile_type("PT", dfo.RoundPile(0.4), dfo.PileType.CONTINUOUS_FLIGHT_AUGER, dfo.PileSlipLayer.NONE,
                           use_pre_2016=True)
    model.create_pile("1", 0.0, 0.0, -1.0, 2.0, 800.0, 600.0)
    return model


@pytest.fixture
def tension_model():
    options = dfo.TensionPilesCalculationOptions(
        dfo.CalculationType.INDICATION_BEARING_CAPACITY, False, trajectory_begin_end_interval=(-10.0, -20.0, 0.5))
    model = dfo.TensionPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -1.0,
                                  create_default_materials=False)
    model.create_material("Sand", dfo.SoilType.SAND, 17.0, 19.0, 30.0, max_cone_resist_type=dfo.MaxConeResistType.MANUAL,
                          max_cone_resist=15.0)
    model.create_profile("P1", [dfo.ProfileLayer(0.0, "Sand")], 0.0, 0.0, [[0.0, 1.0], [-20.0, 12.0]], -1.0, -20.0,
                         -2.0)
    model.create_pile_type("PT", dfo.RoundPile(0.4), dfo.PileType.CONTINUOUS_FLIGHT_AUGER,
                           dfo.PileTypeClayLoamPeat.ACCORDING_TO_STANDARD, dfo.PileMaterial.WOOD,
                           factor_sand_gravel=1.0)
    model.create_pile("A", 1.0, 2.0, -0.5, load_max_min=(100.0, -50.0))
    return model

"""D-Foundations from Python: build Bearing Piles and Tension Piles (EC7-NL) models, turn them into
input files, run analyses and read output files into pandas DataFrames.

    import dfoundations as dfo

    options = dfo.BearingPilesCalculationOptions(
        dfo.CalculationType.INDICATION_BEARING_CAPACITY, False, trajectory_begin_end_interval=(-10.0, -20.0, 0.5))
    model = dfo.BearingPilesModel(dfo.ConstructionSequence.CPT_EXCAVATION_INSTALL, options, -1.0)
    ...
    input_file = model.generate_input_file(dfo.Metadata(company="Deltares"))   # bytes

    parser = dfo.OutputFileParser(open("model.fod", "rb").read())
    tables = parser.results()                                                 # name -> DataFrame
"""

from . import _dfoundations
from ._dfoundations import *  # noqa: F401,F403  (the compiled library)
from ._dfoundations import (  # the internal names that `import *` leaves out
    _CalculationOptions,
    _MainCalculationType,
    _Model,
    _ParserV19,
    _ReductionConeResistance,
    _material_naming,
    _read_output_file,
    _summary,
    _slip_layer_naming,
    _type_naming,
)

from .batch import read_output_file, read_output_files, run_analyses, summary  # noqa: E402

__version__ = _dfoundations.__version__  # the library's, as `dfoundations --version` prints it

# The classes say they are the package's, as users import them.
for _value in vars(_dfoundations).values():
    if isinstance(_value, type) and _value.__module__ == _dfoundations.__name__:
        _value.__module__ = __name__

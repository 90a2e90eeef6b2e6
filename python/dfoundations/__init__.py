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

import os as _os

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
    _slip_layer_naming,
    _type_naming,
)

# The classes say they are the package's, as users import them.
for _value in vars(_dfoundations).values():
    if isinstance(_value, type) and _value.__module__ == _dfoundations.__name__:
        _value.__module__ = __name__


def read_output_file(source):
    """Reads a whole output file (.fod) of any version.

    `source` is the file's bytes (UTF-8, else Latin-1), its decoded text, or a path (``os.PathLike``).
    Raises ParsingError when the text holds no section at all.
    """
    if isinstance(source, _os.PathLike):
        with open(source, "rb") as file:
            source = file.read()
    return _read_output_file(source)


# The docstring of the compiled reader, which the C++ header's comment gives, without its signature.
read_output_file.__doc__ = _read_output_file.__doc__.partition("\n\n")[2]

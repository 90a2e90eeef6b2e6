# Type stubs of the dfoundations package, so that editors complete names and arguments.
import concurrent.futures
import enum
import os
from typing import Literal, Optional, Sequence, Union, overload

import pandas

__version__: str

Bytes = Union[bytes, bytearray, memoryview]
Table = Union[pandas.DataFrame, dict[str, dict[int, Union[int, float, str, None]]]]

# ---- Errors -------------------------------------------------------------------------------------

class Error(RuntimeError): ...
class ModelError(Error): ...
class ParsingError(Error): ...
class InternalError(Error): ...
class ExecutionError(Error): ...
class PatternLimitError(RuntimeError): ...

# ---- Enumerations -------------------------------------------------------------------------------

class SoilType(enum.Enum):
    GRAVEL = 0
    SAND = 1
    LOAM = 2
    CLAY = 3
    PEAT = 4

class MaxConeResistType(enum.Enum):
    STANDARD = 0
    MANUAL = 1

class CPTRule(enum.Enum):
    NEN = 0
    NEN_STRESS = 0
    CUR = 1
    TYPE_3 = 2
    QC_ONLY = 3

class ConstructionSequence(enum.Enum):
    CPT_EXCAVATION_INSTALL = 1
    INSTALL_CPT_EXCAVATION = 2
    EXCAVATION_CPT_INSTALL = 3
    EXCAVATION_INSTALL_CPT = 4
    INSTALL_EXCAVATION_CPT = 5
    CPT_INSTALL_EXCAVATION = 6
    EXCAVATION_CPT_BOTH_BEFORE_AND_AFTER_INSTALL = 7

class CalculationType(enum.Enum):
    DESIGN_CALCULATION = 0
    COMPLETE_CALCULATION = 1
    INDICATION_BEARING_CAPACITY = 2
    BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL = 3
    PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY = 4

class PileType(enum.Enum):
    PREFAB_CONCRETE = 0
    CLOSED_STEEL = 1
    DRIVEN_TUBE_BACK_DRIVING = 2
    DRIVEN_TUBE_BACK_VIBRATION = 3
    TAPERED_TIMBER = 4
    STRAIGHT_TIMBER = 5
    SCREW_LOST_TIP = 6
    SCREW_WITH_GROUT = 7
    PREFAB_WITH_GROUT = 8
    PREFAB_WITHOUT_GROUT = 9
    STEEL = 10
    CONTINUOUS_FLIGHT_AUGER = 11
    BORED_DRILLING = 12
    BORED_SHELLING = 13
    OPEN_STEEL = 14
    MV = 15
    MICRO_DOUBLE_EXTORTED = 16
    MICRO_DOUBLE_NOT_EXTORTED = 17
    MICRO_SINGLE_EXTORTED = 18
    MICRO_SINGLE_NOT_EXTORTED = 19
    MICRO_ANCHOR_BORED = 20
    MICRO_ANCHOR_SCREWED = 21
    MICRO_VIBRATED = 22
    GROUTED_STEEL_PROFILE = 23
    GROUTED_STEEL_PIPE = 24
    USER_DEFINED_VIBRATING = 25
    USER_DEFINED_LOW_VIBRATING = 26
    USER_DEFINED = 27

class PileTypeClayLoamPeat(enum.Enum):
    ACCORDING_TO_STANDARD = 0
    USER_DEFINED = 1

class PileLoadSettlementCurve(enum.Enum):
    ONE = 0
    TWO = 1
    THREE = 2

class PileMaterial(enum.Enum):
    CONCRETE = 0
    STEEL = 1
    TIMBER = 2
    WOOD = 2
    USER_DEFINED = 3

class PileSlipLayer(enum.Enum):
    NONE = 0
    SYNTHETIC = 1
    BENTONITE = 2
    BITUMEN = 3
    USER_DEFINED = 4

class _MainCalculationType(enum.Enum):
    PRELIMINARY_DESIGN = 0
    VERIFICATION = 1

class _ReductionConeResistance(enum.Enum):
    SAFE = 0
    BEGEMANN = 1
    MANUAL = 2

def format_number(value: Union[int, float]) -> str: ...
def _type_naming() -> dict[PileType, str]: ...
def _material_naming() -> dict[PileMaterial, str]: ...
def _slip_layer_naming() -> dict[PileSlipLayer, str]: ...

# ---- Host types ---------------------------------------------------------------------------------

class Color:
    def __init__(self, red: int, green: int, blue: int) -> None: ...
    @staticmethod
    def white() -> Color: ...
    @staticmethod
    def from_deltares(code: int) -> Color: ...
    @property
    def deltares(self) -> int: ...
    @property
    def red(self) -> int: ...
    @property
    def green(self) -> int: ...
    @property
    def blue(self) -> int: ...

class File:
    @staticmethod
    def from_data(data: Union[str, Bytes]) -> File: ...
    @staticmethod
    def from_url(url: str) -> File: ...
    def getvalue_binary(self) -> bytes: ...
    def __len__(self) -> int: ...

class GEFData:
    name: str
    elevation: list[float]
    qc: list[Optional[float]]
    fs: Optional[list[Optional[float]]]
    Rf: Optional[list[Optional[float]]]
    ground_level_wrt_reference: Optional[float]
    project_name: Optional[str]
    project_id: Optional[str]
    client: Optional[str]
    x_y_coordinates: Optional[tuple[float, float]]
    excavation_depth: Optional[float]
    gef_version_number: Optional[str]
    gef_file_date: Optional[str]
    research_report_date: Optional[str]
    warnings: list[str]
    def __init__(self) -> None: ...
    @staticmethod
    def from_file(path: Union[str, os.PathLike[str]]) -> GEFData: ...
    @staticmethod
    def from_cpt_text(bytes: Union[str, Bytes], name: str) -> GEFData: ...
    @staticmethod
    def from_text(text: Union[str, Bytes], name: str) -> GEFData: ...
    @staticmethod
    def from_bro_xml(text: Union[str, Bytes], name: str) -> GEFData: ...
    def to_json(self) -> dict: ...

# ---- Components ---------------------------------------------------------------------------------

class Metadata:
    def __init__(self, file_name: str = "-", company: str = "-", title_1: str = "-", title_2: str = "-",
                 geotechnical_consultant: str = "", design_engineer: str = "", principal: str = "",
                 project_id: str = "", location: str = "", current_date: bool = False,
                 current_time: bool = False) -> None: ...
    file_name: str
    company: str
    title_1: str
    title_2: str
    geotechnical_consultant: str
    design_engineer: str
    principal: str
    project_id: str
    location: str
    current_date: bool
    current_time: bool
    def _serialize(self) -> dict: ...

Trajectory = tuple[float, float, float]

class _CalculationOptions:
    @property
    def calculation_type(self) -> CalculationType: ...
    @property
    def _main_calculation_type(self) -> _MainCalculationType: ...
    @property
    def rigid(self) -> bool: ...
    def _serialize(self) -> dict: ...

class BearingPilesCalculationOptions(_CalculationOptions):
    def __init__(self, calculation_type: CalculationType, rigid: bool, *,
                 max_allowed_settlement_str_geo: int = 150, max_allowed_settlement_sls: int = 150,
                 max_allowed_relative_rotation_str_geo: int = 100, max_allowed_relative_rotation_sls: int = 300,
                 xi3: Optional[float] = None, xi4: Optional[float] = None, gamma_b: Optional[float] = None,
                 gamma_s: Optional[float] = None, gamma_fnk: Optional[float] = None, area: Optional[float] = None,
                 e_ea_gem: Optional[float] = None, write_intermediate_results: bool = False,
                 use_pile_group: bool = True, overrule_excavation: bool = False,
                 suppress_qciii_reduction: bool = False, use_almere_rules: bool = False,
                 use_extra_almere_rules: bool = False, trajectory_begin_end_interval: Optional[Trajectory] = None,
                 net_bearing_capacity: Optional[int] = None, cpt_test_level: Optional[float] = None) -> None: ...

class TensionPilesCalculationOptions(_CalculationOptions):
    VALID_CALCULATION_TYPES: tuple[CalculationType, ...]
    def __init__(self, calculation_type: CalculationType, rigid: bool, *, unit_weight_water: float = 9.81,
                 surcharge: float = 0.0, xi3: Optional[float] = None, xi4: Optional[float] = None,
                 gamma_m_var_qc: Optional[float] = None, gamma_st: Optional[float] = None,
                 gamma_gamma: Optional[float] = None, use_compaction: bool = False, overrule_excavation: bool = False,
                 overrule_excess_pore_pressure: bool = True,
                 trajectory_begin_end_interval: Optional[Trajectory] = None,
                 net_bearing_capacity: Optional[int] = None) -> None: ...

class ProfileLayer:
    def __init__(self, top_level: float, material: str, ad_pore_pressure_at_top: float = 0.0,
                 ad_pore_pressure_at_bottom: float = 0.0, ocr: float = 1.0) -> None: ...
    top_level: float
    material: str
    ad_pore_pressure_at_top: float
    ad_pore_pressure_at_bottom: float
    ocr: float
    def _serialize(self) -> dict: ...

class PileShape:
    class _Shape(enum.Enum):
        ROUND = 0
        RECT = 1
        ROUND_ENL = 2
        RECT_ENL = 3
        TAPER = 4
        HOLLOW = 5
        LOST_TIP = 6
        DRIVEN = 7
        SECTION = 8
        HOL_OPEN = 9
        H = 10
        USER_DEFINED = 11
    @property
    def _shape(self) -> PileShape._Shape: ...
    @property
    def _data(self) -> list[tuple[float, str]]: ...
    def _serialize(self) -> dict: ...
    @staticmethod
    def _shape_text(shape: PileShape._Shape) -> str: ...

class RoundPile(PileShape):
    def __init__(self, diameter: float) -> None: ...
    diameter: float

class RectPile(PileShape):
    def __init__(self, width: float, length: float) -> None: ...
    width: float
    length: float

class SectionPile(RectPile): ...

class RectEnlPile(PileShape):
    def __init__(self, base_width: float, base_length: float, base_height: float, shaft_width: float,
                 shaft_length: float) -> None: ...
    base_width: float
    base_length: float
    base_height: float
    shaft_width: float
    shaft_length: float

class UserPile(PileShape):
    def __init__(self, circumference: float, cross_section: float) -> None: ...
    circumference: float
    cross_section: float

class TaperPile(PileShape):
    def __init__(self, diameter_tip: float, increase: float) -> None: ...
    diameter_tip: float
    increase: float

class HollowPile(PileShape):
    def __init__(self, external_diameter: float, wall_thickness: float) -> None: ...
    external_diameter: float
    wall_thickness: float
    internal_diameter: float

class HollowOpenPile(PileShape):
    def __init__(self, external_diameter: float, wall_thickness: float) -> None: ...
    external_diameter: float
    wall_thickness: float
    internal_diameter: float

class LostTipPile(PileShape):
    def __init__(self, base_diameter: float, pile_diameter: float) -> None: ...
    base_diameter: float
    pile_diameter: float

class RoundEnlPile(LostTipPile):
    def __init__(self, base_diameter: float, pile_diameter: float, base_height: float) -> None: ...
    base_height: float

class DrivenBasePile(RoundEnlPile): ...

class HShapedPile(PileShape):
    def __init__(self, height: float, width: float, thickness_web: float, thickness_flange: float) -> None: ...
    height: float
    width: float
    thickness_web: float
    thickness_flange: float

# ---- Models -------------------------------------------------------------------------------------

Measurements = Sequence[Sequence[float]]

class _Model:
    @property
    def construction_sequence(self) -> ConstructionSequence: ...
    @property
    def excavation_level(self) -> float: ...
    @property
    def reduction_cone_resistance(self) -> Union[int, float, None]: ...
    @property
    def _cone_resistance_reduction_type(self) -> _ReductionConeResistance: ...
    @property
    def materials(self) -> dict[str, dict]: ...
    @property
    def profiles(self) -> list[dict]: ...
    @property
    def pile_types(self) -> list[dict]: ...
    @property
    def piles(self) -> list[dict]: ...
    def _serialize(self) -> dict: ...
    def _validate(self) -> None: ...
    def short_cpts(self) -> list[dict]: ...
    def _generate_input(self, metadata: Optional[Metadata] = None) -> dict: ...
    def _generate_input_text(self, metadata: Optional[Metadata] = None) -> str: ...
    @overload
    def generate_input_file(self, metadata: Optional[Metadata] = None, *, as_file: Literal[False] = False,
                            layout: Optional[int] = None) -> bytes: ...
    @overload
    def generate_input_file(self, metadata: Optional[Metadata] = None, *, as_file: Literal[True],
                            layout: Optional[int] = None) -> File: ...

class BearingPilesModel(_Model):
    @staticmethod
    def from_input_file(input_file: Union[Bytes, str]) -> BearingPilesModel: ...
    def __init__(self, construction_sequence: ConstructionSequence,
                 calculation_options: BearingPilesCalculationOptions, excavation_level: float,
                 reduction_cone_resistance: Union[int, float, None] = None, *,
                 create_default_materials: bool = True) -> None: ...
    @property
    def calculation_options(self) -> BearingPilesCalculationOptions: ...
    def create_material(self, name: str, soil_type: SoilType, gamma_unsat: float, gamma_sat: float,
                        friction_angle: float, *, diameter_d50: float = 0.2, color: Optional[Color] = None) -> None: ...
    def create_profile(self, name: str, layers: Sequence[ProfileLayer], x: float, y: float,
                       measurements: Measurements, phreatic_level: float, pile_tip_level: float,
                       overconsolidation_ratio: float, top_positive_skin_friction: float,
                       bottom_negative_skin_friction: float, expected_ground_level_settlement: float, *,
                       cpt_rule: CPTRule = CPTRule.NEN, min_layer_thickness: float = 0.1) -> None: ...
    def import_profile(self, cpt: GEFData, layers: Sequence[ProfileLayer], x: float, y: float,
                       phreatic_level: float, pile_tip_level: float, overconsolidation_ratio: float,
                       top_positive_skin_friction: float, bottom_negative_skin_friction: float,
                       expected_ground_level_settlement: float, *, name: Optional[str] = None,
                       manual_ground_level: Optional[float] = None, cpt_rule: CPTRule = CPTRule.NEN,
                       min_layer_thickness: float = 0.1, thin_cpt: bool = False) -> None: ...
    def create_pile_type(self, name: str, shape: PileShape, pile_type: PileType, slip_layer: PileSlipLayer, *,
                         type_sand_gravel: Optional[PileType] = None,
                         type_clay_loam_peat: Optional[PileTypeClayLoamPeat] = None, type_p: Optional[PileType] = None,
                         load_settlement_curve: Optional[PileLoadSettlementCurve] = None,
                         material: Optional[PileMaterial] = None, factor_sand_gravel: Optional[float] = None,
                         factor_clay_loam_peat: Optional[float] = None, factor_pile_class: Optional[float] = None,
                         e_modulus: Optional[float] = None, slip_layer_adhesion: Optional[float] = None,
                         use_pre_2016: bool = False, as_prefab: bool = False, qciii_reduction: Optional[float] = None,
                         overrule_tip_section_factor: Optional[float] = None,
                         overrule_tip_shape_factor: Optional[float] = None) -> None: ...
    def create_pile(self, name: str, x: float, y: float, pile_head_level: float, surcharge: float,
                    limit_state_str_geo: float, serviceability_limit_state: float) -> None: ...

class TensionPilesModel(_Model):
    @staticmethod
    def from_input_file(input_file: Union[Bytes, str]) -> TensionPilesModel: ...
    def __init__(self, construction_sequence: ConstructionSequence,
                 calculation_options: TensionPilesCalculationOptions, excavation_level: float,
                 reduction_cone_resistance: Union[int, float, None] = None, *,
                 create_default_materials: bool = True) -> None: ...
    @property
    def calculation_options(self) -> TensionPilesCalculationOptions: ...
    def create_material(self, name: str, soil_type: SoilType, gamma_unsat: float, gamma_sat: float,
                        friction_angle: float, *, diameter_d50: float = 0.2,
                        max_cone_resist_type: MaxConeResistType = MaxConeResistType.STANDARD,
                        max_cone_resist: float = 0.0, apply_tension: bool = True, min_void_ratio: float = 0.4,
                        max_void_ratio: float = 0.8, color: Optional[Color] = None) -> None: ...
    def create_profile(self, name: str, layers: Sequence[ProfileLayer], x: float, y: float,
                       measurements: Measurements, phreatic_level: float, pile_tip_level: float,
                       top_tension_zone: float, *, cpt_rule: CPTRule = CPTRule.NEN,
                       min_layer_thickness: float = 0.1) -> None: ...
    def import_profile(self, cpt: GEFData, layers: Sequence[ProfileLayer], x: float, y: float,
                       phreatic_level: float, pile_tip_level: float, top_tension_zone: float, *,
                       name: Optional[str] = None, manual_ground_level: Optional[float] = None,
                       cpt_rule: CPTRule = CPTRule.NEN, min_layer_thickness: float = 0.1,
                       thin_cpt: bool = False) -> None: ...
    def create_pile_type(self, name: str, shape: PileShape, type_sand_gravel: PileType,
                         type_clay_loam_peat: PileTypeClayLoamPeat, material: PileMaterial, *,
                         factor_sand_gravel: Optional[float] = None, factor_clay_loam_peat: Optional[float] = None,
                         unit_weight_material: Optional[float] = None) -> None: ...
    def create_pile(self, name: str, x: float, y: float, pile_head_level: float, *,
                    load_max_min: Optional[tuple[float, float]] = None) -> None: ...

class ModelDocument:
    @property
    def model(self) -> Union[BearingPilesModel, TensionPilesModel]: ...
    metadata: Metadata
    @property
    def layout(self) -> Optional[int]: ...
    @property
    def input_file_extras(self) -> Optional[dict]: ...
    def _generate_input(self) -> dict: ...
    def _generate_input_text(self) -> str: ...
    @overload
    def generate_input_file(self, *, as_file: Literal[False] = False, layout: Optional[int] = None) -> bytes: ...
    @overload
    def generate_input_file(self, *, as_file: Literal[True], layout: Optional[int] = None) -> File: ...

def read_model_document(json_text: str) -> ModelDocument: ...

@overload
def input_file_from_document(document_text: str, *, as_file: Literal[False] = False) -> bytes: ...
@overload
def input_file_from_document(document_text: str, *, as_file: Literal[True]) -> File: ...

# ---- Input files read back ----------------------------------------------------------------------

class InputFileReading:
    @property
    def document(self) -> dict: ...
    @document.setter
    def document(self, value: dict) -> None: ...
    @property
    def extras(self) -> dict: ...
    @extras.setter
    def extras(self, value: dict) -> None: ...
    @property
    def layout(self) -> int: ...
    @property
    def model_error(self) -> str: ...
    @property
    def warnings(self) -> list[tuple[int, str]]: ...
    def document_with_extras(self) -> dict: ...
    @overload
    def generate_input_file(self, *, as_file: Literal[False] = False, layout: Optional[int] = None) -> bytes: ...
    @overload
    def generate_input_file(self, *, as_file: Literal[True], layout: Optional[int] = None) -> File: ...

def read_input_file(input_file: Union[Bytes, str]) -> InputFileReading: ...

# ---- Analysis -----------------------------------------------------------------------------------

class DFoundationsAnalysis:
    def __init__(self, input_file: Union[Bytes, File, str]) -> None: ...
    @property
    def program(self) -> str: ...
    @property
    def version(self) -> int: ...
    def execute(self, timeout: float) -> None: ...
    @overload
    def get_output_file(self, extension: str = ".fod", *, as_file: Literal[False] = False) -> Optional[bytes]: ...
    @overload
    def get_output_file(self, extension: str = ".fod", *, as_file: Literal[True]) -> Optional[File]: ...
    def _get_result_content(self) -> dict[str, bytes]: ...

# ---- Output files: the versioned parsers --------------------------------------------------------

class OutputFileParser:
    _VERSION_PATTERN: str
    _MODEL_PATTERN: str
    _CALCULATION_TYPE_PATTERN: str
    _OUTPUT_PATTERN: str
    def __init__(self, fod_file: Union[str, Bytes, File]) -> None: ...
    @property
    def raw_results(self) -> str: ...
    @property
    def _raw_results(self) -> str: ...
    @property
    def calculation_parameters(self) -> dict[str, Union[float, bool]]: ...
    def results(self, as_pandas: bool = True) -> dict: ...
    @property
    def class_name(self) -> str: ...

class _ParserV19:
    @staticmethod
    def _parse_tables(string: str, as_pandas: bool = True) -> dict[str, Table]: ...

# ---- Output files: the whole-file reader --------------------------------------------------------

class ValueLine:
    key: str
    value: str
    numbers: list[float]
    line: int

class TextLine:
    text: str
    line: int

class OutputTable:
    name: str
    path: str
    line: int
    end_line: int
    data_count: Optional[int]
    error: Optional[str]
    row_count: int
    column_count: int
    column_names: list[str]
    @property
    def data(self) -> pandas.DataFrame: ...
    def column_map(self) -> dict[str, dict[int, Union[int, float, str, None]]]: ...

class Section:
    name: str
    position: int
    path: str
    line: int
    end_line: int
    @property
    def items(self) -> list[Union[ValueLine, TextLine, OutputTable, Section]]: ...
    def value(self, key: str) -> Optional[ValueLine]: ...
    def number(self, key: str) -> Optional[float]: ...
    def sections(self, name: str = "") -> list[Section]: ...
    def section(self, name: str) -> Optional[Section]: ...
    def tables(self) -> list[OutputTable]: ...
    def values(self) -> list[ValueLine]: ...

class FileHeader:
    version: str
    major_version: Optional[int]
    model_code: Optional[int]
    model_name: str
    cu_values_code: Optional[int]
    cu_values: Optional[str]
    main_calculation_type: Optional[int]
    sub_calculation_type: Optional[int]

class ReadWarning:
    path: str
    line: int
    message: str

class OutputFile:
    name: Optional[str]
    header: FileHeader
    root: Section
    input: Optional[Section]
    output: Optional[Section]
    warnings: list[ReadWarning]
    def sections(self) -> list[Section]: ...
    def tables(self) -> list[OutputTable]: ...
    def to_json(self, file_name: str = "") -> str: ...
    def section(self, path: str) -> Optional[Section]: ...
    def table(self, path: str) -> Optional[OutputTable]: ...
    def nearest_table_paths(self, path: str, count: int = 5) -> list[str]: ...

def read_output_file(source: Union[Bytes, str, os.PathLike[str]]) -> OutputFile: ...
def read_output_files(sources: Sequence[Union[Bytes, str, os.PathLike[str]]], *,
                      executor: Optional[concurrent.futures.Executor] = None,
                      client: Optional[object] = None,
                      chunk_size: Optional[int] = None) -> list[Union[OutputFile, BaseException]]: ...
def run_analyses(input_files: Sequence[Union[Bytes, str, os.PathLike[str], BearingPilesModel, TensionPilesModel,
                                             InputFileReading]], *,
                 executor: Optional[concurrent.futures.Executor] = None, client: Optional[object] = None,
                 engine: Optional[str] = None, timeout: float = 300.0,
                 chunk_size: Optional[int] = None) -> list[Union[OutputFile, BaseException]]: ...
def summary(files: Union[OutputFile, os.PathLike[str], Sequence[Union[OutputFile, os.PathLike[str], BaseException]],
                         dict[str, OutputFile]]) -> dict[str, pandas.DataFrame]: ...
def set_worker_engine(engine: Optional[str]) -> None: ...
def _summary(files: list[tuple[str, OutputFile]]) -> dict[str, pandas.DataFrame]: ...
def calculation_name(file: OutputFile) -> str: ...
def _read_output_file(bytes: Union[Bytes, str]) -> OutputFile: ...

class PileView:
    section: Section
    name: str
    beta_factor: Optional[float]
    s_factor: Optional[float]
    tables: list[OutputTable]
    calculation_parameters: dict[str, float]

class IterationView:
    section: Section
    number: Optional[int]
    depth: Optional[float]
    values: dict[str, float]
    tables: list[OutputTable]
    calculation_parameters: dict[str, float]

class ElementView:
    section: Section
    values: dict[str, float]
    tables: list[OutputTable]

class TensionGroupView:
    result_index: int
    pile_group: int
    pile_type: str
    cpt: str
    piles: list[str]

class PileTypeWarnings:
    pile_type_number: Optional[int]
    flags: dict[str, bool]

class CalculationWarnings:
    calculation: dict[str, bool]
    pile_types: list[PileTypeWarnings]

class NenResults:
    global_: dict[str, float]
    piles: list[dict[str, float]]

def piles(file: OutputFile) -> list[PileView]: ...
def iterations(file: OutputFile) -> list[IterationView]: ...
def elements(file: OutputFile) -> list[ElementView]: ...
def tension_groups(file: OutputFile) -> list[TensionGroupView]: ...
def calculation_warnings(file: OutputFile) -> CalculationWarnings: ...
def nen_results(file: OutputFile) -> NenResults: ...

# ---- The open calculation core ------------------------------------------------------------------

CORE_COVERS: str

class PileFactorRules(enum.Enum):
    RULES_2017 = 2017
    RULES_2025 = 2025

class CalculationResults:
    @property
    def rules(self) -> PileFactorRules: ...
    @property
    def iteration_count(self) -> int: ...
    @property
    def cpt_count(self) -> int: ...
    def iteration_table(self) -> pandas.DataFrame: ...
    def average_factors_table(self) -> pandas.DataFrame: ...
    def pile_table(self) -> pandas.DataFrame: ...

def calculate(source: Union[Bytes, str, BearingPilesModel, InputFileReading], *,
              rules: Optional[PileFactorRules] = None) -> CalculationResults: ...
def write_output_file(results: CalculationResults, input_file: Union[Bytes, str]) -> bytes: ...

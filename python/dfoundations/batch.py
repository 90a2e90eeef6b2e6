"""Many analyses and output files at once, on every core or on a cluster.

Each function takes any ``concurrent.futures.Executor`` (a thread pool by default; a process pool;
a Dask client's ``client.get_executor()`` or ``client=``) and returns one result per input, in the
order given: the output file, or the exception that input raised. A failing input never stops the
others.

    import dfoundations as dfo

    files = dfo.run_analyses(["a.foi", "b.foi"])                # OutputFile or exception, in order
    tables = dfo.summary(files)                                  # calculation kind -> DataFrame

    from distributed import Client
    with Client("tcp://scheduler:8786") as client:               # or LocalCluster()
        files = dfo.run_analyses(inputs, client=client)
"""

import concurrent.futures
import os
import pathlib

from . import _dfoundations

DEFAULT_TIMEOUT = 300.0


def read_output_file(source):
    """Reads a whole output file (.fod) of any version.

    `source` is the file's bytes (UTF-8, else Latin-1), its decoded text, or a path (``os.PathLike``).
    The file keeps its path as ``name``, which ``summary`` shows; it pickles as its bytes, so that
    it crosses process and machine boundaries. Raises ParsingError when the text holds no section.
    """
    name = None
    if isinstance(source, os.PathLike):
        name = os.fspath(source)
        with open(source, "rb") as file:
            source = file.read()
    if isinstance(source, (bytearray, memoryview)):
        source = bytes(source)
    result = _dfoundations._read_output_file(source)
    result._source = source
    result.name = name
    return result


def _output_file_reduce(file):
    source = getattr(file, "_source", None)
    if source is None:
        raise TypeError("this output file was not read from bytes or text, so it cannot be pickled")
    return (_reread_output_file, (source, getattr(file, "name", None)))


def _reread_output_file(source, name):
    file = read_output_file(source)
    file.name = name
    return file


def _model_from_document(document_text):
    return _dfoundations.read_model_document(document_text).model


def _model_reduce(model):
    return (_model_from_document, (model._generate_input_text(),))


def _reading_from_bytes(data):
    return _dfoundations.read_input_file(data)


def _reading_reduce(reading):
    return (_reading_from_bytes, (reading.generate_input_file(),))


# Models, readings of input files and output files travel as their documents and bytes.
_dfoundations.OutputFile.name = property(
    lambda file: file.__dict__.get("name"), lambda file, name: file.__dict__.__setitem__("name", name),
    doc="The path the file was read from (or the name its batch gave it), else None; summary() shows it.")
_dfoundations.OutputFile._source = None
_dfoundations.OutputFile.__reduce__ = _output_file_reduce
_dfoundations.BearingPilesModel.__reduce__ = _model_reduce
_dfoundations.TensionPilesModel.__reduce__ = _model_reduce
_dfoundations.InputFileReading.__reduce__ = _reading_reduce


def _name_and_input(item, position):
    """What a job is sent: the input file's bytes and the name it goes by."""
    if isinstance(item, os.PathLike):
        return os.fspath(item), pathlib.Path(item).read_bytes()
    if isinstance(item, (bytes, bytearray, memoryview)):
        return f"input {position}", bytes(item)
    if isinstance(item, str):
        return f"input {position}", item.encode("cp1252", errors="strict")
    if hasattr(item, "generate_input_file"):
        return f"input {position}", item.generate_input_file()
    raise TypeError(f"input {position}: an input file is bytes, str, a path, a model or a reading, "
                    f"not {type(item).__name__}")


def _noted(error, name):
    """The exception, saying which input raised it."""
    if hasattr(error, "add_note"):
        error.add_note(f"while analysing {name}")
    error.input_name = name
    return error


def _run_one(name, input_file, engine, timeout):
    try:
        if engine is not None:
            _dfoundations.set_worker_engine(engine)  # for this process, as the program's --engine
        analysis = _dfoundations.DFoundationsAnalysis(input_file)
        analysis.execute(timeout)
        output = analysis.get_output_file(".fod")
        if output is None:
            raise _dfoundations.ExecutionError(f"{name}: the analysis wrote no output file")
        file = read_output_file(output)
        file.name = name
        return file
    except Exception as error:  # noqa: BLE001  (each input's failure is its result)
        return _noted(error, name)


def _read_one(name, source):
    try:
        file = read_output_file(source)
        file.name = name
        return file
    except Exception as error:  # noqa: BLE001
        return _noted(error, name)


def _executor_for(executor, client):
    if executor is not None and client is not None:
        raise ValueError("give an executor or a client, not both")
    if client is not None:
        return client.get_executor(), False
    if executor is not None:
        return executor, False
    return concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 1), True


def _parallelism(pool):
    """How many jobs the executor runs at once, as far as it tells."""
    client = getattr(pool, "_client", None)  # a Dask client's executor
    if client is not None:
        try:
            return max(1, sum(client.nthreads().values()))
        except Exception:  # noqa: BLE001  (a client that cannot say: assume a small cluster)
            return 2
    return getattr(pool, "_max_workers", None) or os.cpu_count() or 1


def _chunk_size(pool, owned, jobs, chunk_size):
    """Jobs per task. An executor that ships tasks to other processes pays for each task (Dask about
    5 ms, against some 10 ms for an analysis), so each task takes several jobs: about four tasks per
    worker keep the workers evenly loaded."""
    if chunk_size is not None:
        if chunk_size < 1:
            raise ValueError(f"chunk_size must be at least 1, not {chunk_size}")
        return chunk_size
    if owned or isinstance(pool, concurrent.futures.ThreadPoolExecutor):
        return 1
    return max(1, -(-len(jobs) // (4 * _parallelism(pool))))


def _run_chunk(function, jobs):
    return [function(*job) for job in jobs]


def _gather(executor, client, function, jobs, chunk_size=None):
    pool, owned = _executor_for(executor, client)
    try:
        size = _chunk_size(pool, owned, jobs, chunk_size)
        chunks = [jobs[start:start + size] for start in range(0, len(jobs), size)]
        futures = [pool.submit(_run_chunk, function, chunk) for chunk in chunks]
        results = []
        for chunk, future in zip(chunks, futures):
            try:
                results.extend(future.result())
            except Exception as error:  # noqa: BLE001  (a worker that died with the jobs, say)
                results.extend(_noted(error, job[0]) for job in chunk)
        return results
    finally:
        if owned:
            pool.shutdown()


def run_analyses(input_files, *, executor=None, client=None, engine=None, timeout=DEFAULT_TIMEOUT,
                 chunk_size=None):
    """Runs an analysis of each input file and reads its output file, all at once.

    `input_files`: input files as bytes or str (their text), paths (``os.PathLike``), models or
    readings of input files. `executor`: any ``concurrent.futures.Executor`` (default: a thread
    pool on all cores); `client`: a Dask ``distributed.Client`` instead. `engine`: which program
    computes ("core" or "console", set for the process that runs the analyses; default: the console when
    one is configured, else the core).
    `timeout`: seconds per analysis. `chunk_size`: analyses per task sent to the executor (default:
    one on a thread pool; elsewhere, such as on Dask or a process pool, about four tasks per worker).

    Returns a list with one entry per input, in order: its ``OutputFile`` (named after its path, or
    "input N"), or the exception it raised, carrying the input's name as ``input_name`` and in a
    note (for example ExecutionError "...: the analysis wrote no output file").
    """
    jobs = [(*_name_and_input(item, position), engine, timeout) for position, item in enumerate(input_files, 1)]
    return _gather(executor, client, _run_one, jobs, chunk_size)


def read_output_files(sources, *, executor=None, client=None, chunk_size=None):
    """Reads many output files at once: paths, or their bytes (which travel to the worker as they are).

    Returns one entry per source, in order: the ``OutputFile``, or the exception it raised (a
    ParsingError, an OSError for a path that cannot be read), carrying the source's name as
    ``input_name``. `executor`, `client` and `chunk_size` as in ``run_analyses``.
    """
    jobs = []
    for position, source in enumerate(sources, 1):
        name = os.fspath(source) if isinstance(source, os.PathLike) else f"output {position}"
        jobs.append((name, source))
    return _gather(executor, client, _read_one, jobs, chunk_size)


def summary(files):
    """The results of output files gathered for people: one DataFrame per calculation kind.

    `files`: an ``OutputFile``, a path, or a list of them (entries that are exceptions, as
    ``run_analyses`` returns for failed inputs, are passed over), or a dict of name -> output file.
    Returns a dict from the calculation kind's name as D-Foundations prints it (for example
    "Preliminary Design, Indication bearing capacity") to a DataFrame that starts with the columns
    file and calculation; a preliminary design then has pile_type, BetaFactor, SFactor, cpt, Level
    and every result column, one row per pile type, CPT and pile-tip level.
    """
    if isinstance(files, dict):
        named = list(files.items())
    else:
        if isinstance(files, (_dfoundations.OutputFile, os.PathLike)):
            files = [files]
        named = []
        for position, file in enumerate(files, 1):
            if isinstance(file, BaseException):
                continue
            if isinstance(file, os.PathLike):
                file = read_output_file(file)
            named.append((getattr(file, "name", None) or f"output {position}", file))
    return _dfoundations._summary([(str(name), file) for name, file in named])

"""The batch functions on a real Dask cluster of two worker processes on this machine: the same
results as a sequential run, failures in their place, and a worker killed mid-batch whose jobs are
done elsewhere with nothing lost or doubled."""

import os
import signal
import threading
import time

import pytest

import dfoundations as dfo
from conftest import EXAMPLE_DATA, TEST_DATA

distributed = pytest.importorskip("distributed")


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                                       dashboard_address=None, silence_logs=40)
    with distributed.Client(cluster) as client:
        yield client
    cluster.close()


def a_large_output_file():
    """A verification file grown to a few MB, so that reading it takes a while on a worker."""
    text = (EXAMPLE_DATA / "quay_wall_verification.fod").read_bytes()
    head, tail = text.split(b"[END OF DUMPFILE]", 1) if b"[END OF DUMPFILE]" in text else (text, b"")
    filler = b"".join(b"[EXTRA %d]\r\n%d = value\r\n[END OF EXTRA %d]\r\n" % (i, i, i) for i in range(60000))
    return head + filler + b"[END OF DUMPFILE]" + tail


def test_a_cluster_gives_what_a_sequential_run_gives_with_failures_in_place(client):
    sources = [EXAMPLE_DATA / "quay_wall_verification.fod", b"no sections", TEST_DATA / "tension_v19.fod"]
    sequential = dfo.read_output_files(sources, executor=None)
    on_cluster = dfo.read_output_files([s.read_bytes() if hasattr(s, "read_bytes") else s for s in sources],
                                       client=client)
    assert isinstance(on_cluster[1], dfo.ParsingError) and on_cluster[1].input_name == "output 2"
    for want, got in zip(sequential, on_cluster):
        if isinstance(want, dfo.OutputFile):
            assert got.to_json() == want.to_json()
    frames = dfo.summary([file for file in on_cluster])
    assert frames.keys() == dfo.summary(sequential).keys()


def test_a_worker_killed_mid_batch_loses_and_doubles_nothing(client, tmp_path):
    large = tmp_path / "large.fod"
    large.write_bytes(a_large_output_file())
    sources = [large] * 24  # paths: the workers read the file where it lies
    expected = dfo.read_output_file(large).to_json()
    results = []
    batch = threading.Thread(target=lambda: results.extend(dfo.read_output_files(sources, client=client)))
    batch.start()
    victim, pid = None, None
    deadline = time.monotonic() + 30
    while victim is None and time.monotonic() < deadline:
        for address, tasks in client.processing().items():
            if tasks:
                victim = address
                break
        time.sleep(0.05)
    assert victim is not None, "no worker took a job"
    pid = client.run(os.getpid, workers=[victim])[victim]
    os.kill(pid, signal.SIGKILL)
    batch.join(timeout=120)
    assert not batch.is_alive()
    assert len(results) == len(sources)
    assert all(isinstance(result, dfo.OutputFile) for result in results), [r for r in results if isinstance(r, Exception)]
    assert all(result.to_json() == expected for result in results)

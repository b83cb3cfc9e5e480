#!/usr/bin/python3
"""A bounded local load on the demo site: REQUESTS picture requests from CONCURRENCY threads,
then requests per second and latency percentiles.

    /usr/bin/python3 web/loadtest.py [--requests 2000] [--concurrency 8] [--workers 2]
                                     [--module build/python] [--url http://127.0.0.1:PORT]

Without --url it serves the site itself with gunicorn (--workers processes) on a free port of
127.0.0.1 and stops it afterwards. Only loopback addresses are accepted as targets.
"""
import argparse
import http.client
import itertools
import os
import socket
import statistics
import subprocess
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
# One request per chart and format in turn, with the values changed so no two are alike.
KINDS = ["bars", "bars3d", "stacked", "lines", "points", "labels", "rightaxis", "pareto", "pie",
         "pie3d", "piepulled", "drawing"]
FORMATS = ["jpg", "gif", "bmp", "png"]


def paths(count):
    combos = itertools.cycle(itertools.product(KINDS, FORMATS))
    for i, (kind, ext) in zip(range(count), combos):
        yield f"/chart/{kind}.{ext}?values={10 + i % 50},{20 + i % 30},30,{i % 90 + 5}"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_ready(host, port, server, deadline=30):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        if server.poll() is not None:
            sys.exit(f"loadtest: the site did not start (exit {server.returncode})")
        try:
            conn = http.client.HTTPConnection(host, port, timeout=2)
            conn.request("GET", "/healthz")
            if conn.getresponse().status == 200:
                return
        except OSError:
            time.sleep(0.2)
    sys.exit("loadtest: the site did not answer within 30 s")


def run(host, port, requests, concurrency, time_limit):
    todo = iter(list(paths(requests)))
    lock = threading.Lock()
    latencies, failures = [], []
    stop_at = time.monotonic() + time_limit

    def worker():
        while time.monotonic() < stop_at:
            with lock:
                path = next(todo, None)
            if path is None:
                return
            start = time.perf_counter()
            try:
                conn = http.client.HTTPConnection(host, port, timeout=30)
                conn.request("GET", path)
                response = conn.getresponse()
                body = response.read()
                conn.close()
                ok = response.status == 200 and len(body) > 0
            except OSError as e:
                ok, response = False, e
            elapsed = time.perf_counter() - start
            with lock:
                latencies.append(elapsed)
                if not ok:
                    failures.append((path, getattr(response, "status", response)))

    threads = [threading.Thread(target=worker) for _ in range(concurrency)]
    began = time.perf_counter()
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return time.perf_counter() - began, latencies, failures


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--requests", type=int, default=2000)
    ap.add_argument("--concurrency", type=int, default=8)
    ap.add_argument("--workers", type=int, default=2)
    ap.add_argument("--module", default=os.path.join(HERE, "..", "build", "python"))
    ap.add_argument("--url", help="a site already running on this machine")
    ap.add_argument("--time-limit", type=float, default=300, help="seconds before the load stops")
    args = ap.parse_args()
    if not 1 <= args.requests <= 100000 or not 1 <= args.concurrency <= 64:
        sys.exit("loadtest: --requests 1..100000 and --concurrency 1..64")

    server = None
    if args.url:
        target = urllib.parse.urlsplit(args.url)
        host, port = target.hostname, target.port or 80
        if host not in ("127.0.0.1", "localhost", "::1") and not host.startswith("127."):
            sys.exit("loadtest: only a site on this machine (127.0.0.0/8, localhost, ::1) is a target")
    else:
        host, port = "127.0.0.1", free_port()
        server = subprocess.Popen(["bash", os.path.join(HERE, "serve.sh"), str(port), str(args.workers), args.module],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if server:
            wait_ready(host, port, server)
        run(host, port, 2 * args.concurrency, args.concurrency, args.time_limit)  # warm the workers
        elapsed, latencies, failures = run(host, port, args.requests, args.concurrency, args.time_limit)
    finally:
        if server:
            server.terminate()
            server.wait(timeout=30)

    ms = sorted(x * 1000 for x in latencies)
    pct = lambda q: ms[min(len(ms) - 1, int(q * len(ms)))]
    print(f"{len(ms)} requests ({len(failures)} failed), concurrency {args.concurrency}, "
          f"{args.workers if server else '?'} gunicorn workers: {len(ms) / elapsed:.1f} requests/s")
    print(f"latency ms: median {statistics.median(ms):.1f}, p90 {pct(0.90):.1f}, p99 {pct(0.99):.1f}, "
          f"max {ms[-1]:.1f}")
    for path, status in failures[:5]:
        print(f"failed: {path}: {status}")
    return 1 if failures or len(ms) < args.requests else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Local update server for the update tests, with injectable faults.

  update_test_server.py start ROOT   serves ROOT on 127.0.0.1 (a free port), writes ROOT/server.txt
                                     with its base address and returns once it answers
  update_test_server.py stop ROOT    ends the server started for ROOT

Paths map to files below ROOT (runs of slashes count as one). Leading path parts choose faults,
and may be combined in any order:
  /status/<code>/...  answer with that status and the body "Not Found"
  /nolength/...       no Content-Length; the end of the body is the end of the connection
  /short/...          announce 1000 bytes more than the body holds, send the body, close
  /drop/...           announce the whole length, send the first half, close
  /slow/...           wait 2 s before answering, then send the body in 4 KiB pieces 20 ms apart
"""
import http.server
import os
import signal
import socket
import sys
import time

FAULTS = {"nolength", "short", "drop", "slow"}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        with open(os.path.join(self.server.root, "server.log"), "a") as log:
            log.write("%s | %s | %s | %s\n" % (fmt % args, self.headers.get("User-Agent", "-"),
                                               self.headers.get("Accept", "-"), self.headers.get("Pragma", "-")))

    def do_GET(self):
        parts = [p for p in self.path.split("?")[0].split("/") if p]
        faults = set()
        status = 200
        while parts:
            if parts[0] in FAULTS:
                faults.add(parts.pop(0))
            elif parts[0] == "status" and len(parts) > 1 and parts[1].isdigit():
                status = int(parts[1])
                parts = parts[2:]
            else:
                break
        if status != 200:
            body = b"Not Found"
        else:
            path = os.path.join(self.server.root, *parts) if parts else ""
            if ".." in parts or not os.path.isfile(path):
                status, body = 404, b"Not Found"
            else:
                with open(path, "rb") as f:
                    body = f.read()
        if "slow" in faults:
            time.sleep(2)
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        if "short" in faults:
            self.send_header("Content-Length", str(len(body) + 1000))
        elif "nolength" not in faults:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if "drop" in faults:
            body = body[: len(body) // 2]
        if "slow" in faults:
            for i in range(0, len(body), 4096):
                self.wfile.write(body[i : i + 4096])
                self.wfile.flush()
                time.sleep(0.02)
        else:
            self.wfile.write(body)
        self.wfile.flush()
        self.close_connection = True
        if "drop" in faults or "short" in faults:
            # An abortive close, as when a connection breaks.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def start(root):
    os.makedirs(root, exist_ok=True)
    address_file = os.path.join(root, "server.txt")
    if os.path.exists(address_file):
        os.remove(address_file)
    server = Server(("127.0.0.1", 0), Handler)
    server.root = root
    port = server.server_address[1]
    if os.fork() != 0:
        server.socket.close()
        deadline = time.time() + 10
        while time.time() < deadline and not os.path.exists(address_file):
            time.sleep(0.05)
        return 0 if os.path.exists(address_file) else 1
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    with open(os.path.join(root, "server.pid"), "w") as f:
        f.write(str(os.getpid()))
    with open(address_file + ".tmp", "w") as f:
        f.write("http://127.0.0.1:%d" % port)
    os.rename(address_file + ".tmp", address_file)
    server.serve_forever()
    return 0


def stop(root):
    pid_file = os.path.join(root, "server.pid")
    try:
        with open(pid_file) as f:
            pid = int(f.read())
        os.kill(pid, signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("server.pid", "server.txt"):
        try:
            os.remove(os.path.join(root, name))
        except OSError:
            pass
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__)
        sys.exit(2)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))

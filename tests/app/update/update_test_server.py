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
  /trickle/<s>/...    send the headers, then the body one byte every <s> seconds
  /trickleheaders/<s>/...  the status line and header lines one byte every <s> seconds, without end
  /once/...           the faults hold for the first request of this exact path only; later ones
                      are answered as if the fault parts were not there
  /stall/...          read the request and answer nothing for 120 s
  /stallbody/...      send the headers and half the body, then nothing for 120 s
  /chunked/...        the body in 4 KiB chunks, properly ended
  /chunkcut/...       chunked, the first half of the body, then close without the last chunk
  /hugelength/...     announce 4 GiB more than the body holds (a 32-bit length wraps to the body's)
  /nostatus/...       the bare body, no status line and no headers
  /endless/...        no Content-Length and zeros without end, until the client goes
  /redirect/<n>/...   <n> redirects (302) on this server before the file
  /redirectloop/...   a redirect to itself, forever
  /redirectto/<where>/...  one redirect to the same path elsewhere: host (localhost), port (this
                      port + 1), scheme (https), relative (a path without scheme and host)
/status/206/ sends the first half of the file as partial content; /status/204/ sends no body;
/status/3xx/ sends a Location of the file without the fault parts.
"""
import http.server
import os
import signal
import socket
import sys
import threading
import time

FAULTS = {"nolength", "short", "drop", "slow", "stall", "stallbody", "chunked", "chunkcut", "hugelength",
          "nostatus", "endless", "redirectloop", "once"}
STALL_SECONDS = 120


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
        trickle = 0
        trickle_headers = 0
        redirects = 0
        redirect_to = None
        while parts:
            if parts[0] in FAULTS:
                faults.add(parts.pop(0))
            elif parts[0] == "status" and len(parts) > 1 and parts[1].isdigit():
                status = int(parts[1])
                parts = parts[2:]
            elif parts[0] == "trickle" and len(parts) > 1 and parts[1].isdigit():
                trickle = int(parts[1])
                parts = parts[2:]
            elif parts[0] == "trickleheaders" and len(parts) > 1 and parts[1].isdigit():
                trickle_headers = int(parts[1])
                parts = parts[2:]
            elif parts[0] == "redirect" and len(parts) > 1 and parts[1].isdigit():
                redirects = int(parts[1])
                parts = parts[2:]
            elif parts[0] == "redirectto" and len(parts) > 1:
                redirect_to = parts[1]
                parts = parts[2:]
            else:
                break
        rest = "/" + "/".join(parts)
        if "once" in faults:
            with self.server.lock:
                repeated = self.path in self.server.seen
                self.server.seen.add(self.path)
            if repeated:
                faults, status, trickle, trickle_headers, redirects, redirect_to = set(), 200, 0, 0, 0, None
        if "stall" in faults:
            self.hold()
            return
        if redirects > 0 or redirect_to or "redirectloop" in faults or 300 <= status < 400:
            self.redirect(rest, redirects, redirect_to, "redirectloop" in faults, status)
            return
        path = os.path.join(self.server.root, *parts) if parts else ""
        file_body = None
        if ".." not in parts and path and os.path.isfile(path):
            with open(path, "rb") as f:
                file_body = f.read()
        if status == 206 and file_body is not None:
            body = file_body[: len(file_body) // 2]
        elif status == 204:
            body = b""
        elif status != 200:
            body = b"Not Found"
        elif file_body is None and "endless" not in faults:
            status, body = 404, b"Not Found"
        else:
            body = file_body or b""
        if "nostatus" in faults:
            self.wfile.write(body)
            self.wfile.flush()
            self.close_connection = True
            return
        if "slow" in faults:
            time.sleep(2)
        if trickle_headers:
            self.log_request(status)
            self.send_response_only(status)
        else:
            self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        chunked = "chunked" in faults or "chunkcut" in faults
        if status == 206:
            self.send_header("Content-Range", "bytes 0-%d/%d" % (len(body) - 1, len(file_body)))
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif "hugelength" in faults:
            self.send_header("Content-Length", str(len(body) + (4 << 30)))
        elif "short" in faults:
            self.send_header("Content-Length", str(len(body) + 1000))
        elif "nolength" not in faults and "endless" not in faults and status != 204:
            self.send_header("Content-Length", str(len(body)))
        if trickle_headers:
            self.trickle_headers(trickle_headers)
            return
        self.end_headers()
        try:
            self.send_body(body, faults, trickle, chunked)
        except OSError:
            return  # the client went away
        self.close_connection = True
        if "drop" in faults or "short" in faults or "hugelength" in faults or "chunkcut" in faults:
            # An abortive close, as when a connection breaks.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")

    def send_body(self, body, faults, trickle, chunked):
        if "endless" in faults:
            zeros = bytes(65536)
            while True:
                self.wfile.write(zeros)
        if "drop" in faults or "chunkcut" in faults:
            body = body[: len(body) // 2]
        if "stallbody" in faults:
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.hold()
            return
        if chunked:
            for i in range(0, len(body), 4096):
                piece = body[i : i + 4096]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            if "chunkcut" not in faults:
                self.wfile.write(b"0\r\n\r\n")
        elif trickle:
            for i in range(len(body)):
                self.wfile.write(body[i : i + 1])
                self.wfile.flush()
                time.sleep(trickle)
        elif "slow" in faults:
            for i in range(0, len(body), 4096):
                self.wfile.write(body[i : i + 4096])
                self.wfile.flush()
                time.sleep(0.02)
        else:
            self.wfile.write(body)
        self.wfile.flush()

    def trickle_headers(self, seconds):
        """Sends the buffered status line and headers, then more header lines, one byte every
        `seconds` until the client goes."""
        head = b"".join(self._headers_buffer)
        try:
            while True:
                for i in range(len(head)):
                    self.wfile.write(head[i : i + 1])
                    self.wfile.flush()
                    time.sleep(seconds)
                head = b"X-Trickle: 1\r\n"
        except OSError:
            self.close_connection = True

    def hold(self):
        """Keeps the connection open and silent until the client leaves or the time is up."""
        self.connection.settimeout(STALL_SECONDS)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass
        self.close_connection = True

    def redirect(self, rest, redirects, redirect_to, loop, status):
        port = self.server.server_address[1]
        if loop:
            location = self.path
        elif redirects > 1:
            location = "http://127.0.0.1:%d/redirect/%d%s" % (port, redirects - 1, rest)
        elif redirect_to == "host":
            location = "http://localhost:%d%s" % (port, rest)
        elif redirect_to == "port":
            location = "http://127.0.0.1:%d%s" % (port + 1, rest)
        elif redirect_to == "scheme":
            location = "https://127.0.0.1:%d%s" % (port, rest)
        elif redirect_to == "relative":
            location = rest
        else:
            location = "http://127.0.0.1:%d%s" % (port, rest)
        self.send_response(status if 300 <= status < 400 else 302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


def start(root):
    os.makedirs(root, exist_ok=True)
    address_file = os.path.join(root, "server.txt")
    if os.path.exists(address_file):
        os.remove(address_file)
    server = Server(("127.0.0.1", 0), Handler)
    server.root = root
    server.seen = set()  # paths asked for once already; handler threads share it under the lock
    server.lock = threading.Lock()
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

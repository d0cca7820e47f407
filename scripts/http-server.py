#!/usr/bin/env python3
"""A stand-in for the maker's web server on 127.0.0.1, for the demo and the tests (standard
library only).

  http-server.py start FOLDER STATE   serve FOLDER in the background on a free port; once it
                                      listens, print the port and return. STATE (a folder) then
                                      holds "port", "pid", "requests.log" and "server.log".
  http-server.py stop STATE           stop that server
  http-server.py serve FOLDER STATE   the same server in the foreground

Every request line is appended to STATE/requests.log as it arrived, before it is parsed, so a
line that HTTP does not allow (a raw blank in the address) is logged too. Files are served from
FOLDER; any path ending in "/Submit.asp" answers "1". A first path word changes the answer,
the rest of the path being served as usual:
  /slow/  waits 30 s before answering
  /drip/  sends its headers, then one byte every 0.2 s for a minute
  /junk/  answers 20 MB of junk without announcing a length
  /big/   announces 20 MB of junk, and sends it
The server ends by itself after an hour at the latest.
"""

import http.server
import os
import signal
import subprocess
import sys
import threading
import time

LIFETIME_SECONDS = 3600
JUNK_BYTES = 20 * 1024 * 1024


class Handler(http.server.SimpleHTTPRequestHandler):
    log_lock = threading.Lock()
    log_path = ""

    def parse_request(self):
        line = self.raw_requestline.decode("latin-1").rstrip("\r\n")
        with Handler.log_lock, open(Handler.log_path, "a", encoding="latin-1") as log:
            log.write(line + "\n")
        return super().parse_request()

    def log_message(self, *args):
        pass

    def send_junk(self, announce):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if announce:
            self.send_header("Content-Length", str(JUNK_BYTES))
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = b"junk" * 16384
        try:
            for _ in range(JUNK_BYTES // len(chunk)):
                self.wfile.write(chunk)
        except OSError:
            pass  # the client gave up, as it should
        self.close_connection = True

    def do_GET(self):
        word = self.path.split("/")[1] if self.path.count("/") > 1 else ""
        if word in ("slow", "drip", "junk", "big"):
            self.path = self.path[len(word) + 1:]
        if word == "slow":
            time.sleep(30)
        elif word == "drip":
            self.send_response(200)
            self.send_header("Content-Length", "300")
            self.end_headers()
            try:
                for _ in range(300):
                    self.wfile.write(b"1")
                    self.wfile.flush()
                    time.sleep(0.2)
            except OSError:
                pass
            return
        elif word in ("junk", "big"):
            self.send_junk(word == "big")
            return
        if self.path.split("?")[0].endswith("/Submit.asp"):
            self.send_response(200)
            self.send_header("Content-Length", "1")
            self.end_headers()
            self.wfile.write(b"1")
            return
        super().do_GET()


def serve(folder, state):
    Handler.log_path = os.path.join(state, "requests.log")
    open(Handler.log_path, "a").close()
    handler = lambda *args: Handler(*args, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    with open(os.path.join(state, "port.tmp"), "w") as port:
        port.write(str(server.server_address[1]))
    os.replace(os.path.join(state, "port.tmp"), os.path.join(state, "port"))
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Timer(LIFETIME_SECONDS, lambda: os._exit(0)).start()
    server.serve_forever()


def start(folder, state):
    os.makedirs(folder, exist_ok=True)
    os.makedirs(state, exist_ok=True)
    for name in ("port", "pid"):
        if os.path.exists(os.path.join(state, name)):
            os.remove(os.path.join(state, name))
    with open(os.path.join(state, "server.log"), "w") as log:
        child = subprocess.Popen(
            [sys.executable, os.path.abspath(__file__), "serve", folder, state],
            stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    with open(os.path.join(state, "pid"), "w") as pid:
        pid.write(str(child.pid))
    for _ in range(200):
        if os.path.exists(os.path.join(state, "port")):
            with open(os.path.join(state, "port")) as port:
                print(port.read())
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.05)
    sys.stderr.write("http-server: the server did not start\n")
    return 1


def stop(state):
    try:
        with open(os.path.join(state, "pid")) as pid:
            os.kill(int(pid.read()), signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("port", "pid"):
        if os.path.exists(os.path.join(state, name)):
            os.remove(os.path.join(state, name))
    return 0


def main(args):
    if len(args) == 3 and args[0] in ("start", "serve"):
        folder, state = os.path.abspath(args[1]), os.path.abspath(args[2])
        return start(folder, state) if args[0] == "start" else serve(folder, state)
    if len(args) == 2 and args[0] == "stop":
        return stop(os.path.abspath(args[1]))
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

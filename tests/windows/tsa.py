#!/usr/bin/env python3
# A timestamp server of the signing test's own (RFC 3161 over HTTP), answering through
# `openssl ts -reply`. Usage: tsa.py <openssl ts config> <port file>: it listens on a free port
# of 127.0.0.1, writes the port to the file and serves until killed.
import http.server
import subprocess
import sys
import tempfile


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.NamedTemporaryFile() as q, tempfile.NamedTemporaryFile() as r:
            q.write(query)
            q.flush()
            done = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1], "-queryfile", q.name,
                                   "-out", r.name], capture_output=True)
            reply = r.read()
        if done.returncode != 0 or not reply:
            self.send_error(500, done.stderr.decode(errors="replace"))
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
with open(sys.argv[2], "w") as f:
    f.write(str(server.server_address[1]))
server.serve_forever()

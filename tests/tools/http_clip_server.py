#!/usr/bin/env python3
"""Serves a folder over HTTP on 127.0.0.1 for the video control's tests.

Writes the port it got to --port-file once it listens. /stall/... accepts the request and never
answers, so a test can see the control give up on a server that hangs.
"""
import argparse
import functools
import http.server
import os
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/stall/"):
            time.sleep(120)
            return
        super().do_GET()

    def log_message(self, format, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    options = parser.parse_args()
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=options.root))
    server.daemon_threads = True
    partial = options.port_file + ".part"
    with open(partial, "w") as out:
        out.write(str(server.server_address[1]))
    os.replace(partial, options.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()

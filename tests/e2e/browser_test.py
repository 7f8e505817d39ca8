#!/usr/bin/env python3
"""The WebM copy in a real browser, as a visitor of a web page meets it.

    browser_test.py MAKEVIV VIVCOPY WORK

makeviv writes a 20 s clip whose pictures turn from amber to teal at 10 s, with the demo tone;
vivcopy (the code of Save As) writes its WebM, MP4 and Matroska copies. Debian's Chromium,
headless, opens a page of ours (browser_page.html) served with the copies from 127.0.0.1, which
tells back what the browser made of each: the WebM copy must play, last 20.0 s (within 50 ms),
show 176 x 144 pictures, amber at 4 s and teal at 15 s, and have its sound played and decoded
(20.0 s of it, not silent). What the browser made of the MP4 and Matroska copies is printed, not
required. Exits 1 on a fault.
"""
import http.server
import json
import os
import shutil
import signal
import subprocess
import sys
import threading

DURATION_MS = 20000
SIZE = (176, 144)
# The pattern's colours (vvppweb/BenchClips.h), at moments well before and after its turn.
COLOURS = {4: (0xE0, 0xA0, 0x20), 15: (0x20, 0xA0, 0xA0)}
COPIES = ["clip.webm", "clip.mp4", "clip.mkv"]
# How long the browser may take for all of it; it needs a few seconds.
TIMEOUT_S = 120

faults = []


def fault(text):
    faults.append(text)
    print("FAULT: " + text)


class Handler(http.server.SimpleHTTPRequestHandler):
    """The work folder's files, with byte ranges as a media element asks for them; the page's
    findings by POST to /result."""

    def log_message(self, *args):
        pass

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        self.send_response(204)
        self.end_headers()
        if self.path == "/result":
            self.server.result = body
            self.server.done.set()

    def send_head(self):
        requested = self.headers.get("Range", "")
        path = self.translate_path(self.path.split("?")[0])
        if not requested.startswith("bytes=") or not os.path.isfile(path):
            return super().send_head()
        size = os.path.getsize(path)
        first, _, last = requested[len("bytes="):].partition("-")
        start = int(first) if first else max(0, size - int(last))
        end = int(last) if first and last else size - 1
        if start >= size:
            self.send_error(416)
            return None
        end = min(end, size - 1)
        f = open(path, "rb")
        f.seek(start)
        self.send_response(206)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, size))
        self.send_header("Content-Length", str(end - start + 1))
        self.end_headers()
        self.range_left = end - start + 1
        return f

    def copyfile(self, source, outputfile):
        left = getattr(self, "range_left", None)
        if left is None:
            return super().copyfile(source, outputfile)
        while left > 0:
            chunk = source.read(min(left, 1 << 16))
            if not chunk:
                break
            outputfile.write(chunk)
            left -= len(chunk)


def browse(work, url, told):
    """Chromium run on the page at url until its findings are told (the event told is set) or
    the time is up; the browser process, and whether they were told."""
    command = ["chromium", "--headless", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--autoplay-policy=no-user-gesture-required",
               "--user-data-dir=" + os.path.join(work, "profile"), url]
    if os.geteuid() == 0:
        command.insert(1, "--no-sandbox")
    with open(os.path.join(work, "chromium.log"), "wb") as log:
        # In a process group of its own, so its helpers go with it.
        browser = subprocess.Popen(command, stdout=log, stderr=log, start_new_session=True)
        try:
            return browser, told.wait(TIMEOUT_S)
        finally:
            os.killpg(browser.pid, signal.SIGTERM)
            try:
                browser.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(browser.pid, signal.SIGKILL)
                browser.wait()


def check(found):
    by_file = {entry["file"]: entry for entry in found}
    for entry in found:
        print("%s: %s" % (entry["file"], json.dumps({k: v for k, v in entry.items() if k != "file"})))
    webm = by_file.get("clip.webm", {})
    if not webm.get("plays"):
        fault("the browser does not play the WebM copy: %s" % webm.get("error"))
        return
    if abs(webm["duration"] - DURATION_MS / 1000) > 0.05:
        fault("the WebM copy lasts %.3f s in the browser, not 20.0 s" % webm["duration"])
    if (webm["width"], webm["height"]) != SIZE:
        fault("the WebM copy's pictures are %d x %d, not %d x %d" % (webm["width"], webm["height"], *SIZE))
    for moment, want in COLOURS.items():
        got = webm["colours"].get(str(moment))
        if not got or max(abs(g - w) for g, w in zip(got, want)) > 16:
            fault("the WebM copy at %d s shows %s, not %s" % (moment, got, list(want)))
    if webm.get("played", 0) < 1 or not webm.get("soundBytes"):
        fault("the WebM copy did not play with its sound: played to %s s, %s bytes of sound decoded (%s)"
              % (webm.get("played"), webm.get("soundBytes"), webm.get("playError")))
    sound = webm.get("sound")
    if not sound or abs(sound["seconds"] - DURATION_MS / 1000) > 0.05 or sound["decibels"] < -30:
        fault("the WebM copy's sound as the browser decodes it: %s" % (sound or webm.get("soundError")))
    for entry in found:
        shown = bool(entry.get("plays") and entry["width"] > 0 and entry["pictures"] > 0)
        heard = bool(entry.get("plays") and entry.get("soundBytes", 0) > 0)
        what = {(True, True): "pictures and sound", (False, True): "the sound only, no picture",
                (True, False): "the pictures only, no sound", (False, False): "nothing (%s)" % entry.get("error")}
        print("Chromium on %s: %s" % (entry["file"], what[shown, heard]))


def main(argv):
    if len(argv) != 4:
        sys.stderr.write("usage: browser_test.py MAKEVIV VIVCOPY WORK\n")
        return 2
    makeviv, vivcopy, work = argv[1:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    clip = os.path.join(work, "clip.viv")
    subprocess.run([makeviv, "--pattern", "turn", clip, str(SIZE[0]), str(SIZE[1]), str(DURATION_MS), "15"],
                   check=True)
    for copy in COPIES:
        subprocess.run([vivcopy, "--to", copy.rsplit(".", 1)[1], clip], check=True, stdout=subprocess.DEVNULL)
    shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "browser_page.html"), work)

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), lambda *a, **k: Handler(*a, directory=work, **k))
    server.done = threading.Event()
    server.result = None
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d/browser_page.html?files=%s&moments=%s" % (
        server.server_address[1], ",".join(COPIES), ",".join(str(m) for m in COLOURS))
    try:
        browser, told = browse(work, url, server.done)
    finally:
        server.shutdown()
    if not told:
        fault("the browser told nothing within %d s (exit code %s; see %s)"
              % (TIMEOUT_S, browser.returncode, os.path.join(work, "chromium.log")))
    else:
        found = json.loads(server.result)
        if isinstance(found, dict):
            fault("the page failed: %s" % found.get("error"))
        else:
            check(found)
    if not faults:
        print("browser: all checks passed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

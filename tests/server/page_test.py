#!/usr/bin/env python3
"""The score page in a real headless Chromium driven through WebDriver: the
table lists the runs, a name such as <b>&x</b> shows as typed, the page fits a
phone's width without scrolling sideways, and a replay link downloads a file
the game's --verify accepts. Screenshots go to the artifacts folder."""
import argparse
import base64
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.parse
import urllib.request

TIMEOUT = 60


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


def request(url, method="GET", data=None, timeout=30):
    req = urllib.request.Request(url, method=method, data=data)
    if data is not None:
        req.add_header("Content-Type", "application/octet-stream")
    try:
        with urllib.request.urlopen(req, timeout=timeout) as answer:
            return answer.status, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


class Server:
    """The score server on a port of 127.0.0.1 it chose itself."""

    def __init__(self, program, verifier, folder):
        self.log = []
        self.process = subprocess.Popen(
            [program, "--listen", "127.0.0.1:0", "--database", "sqlite:" + os.path.join(folder, "scores.sqlite"),
             "--verifier", verifier], stderr=subprocess.PIPE, text=True, env=dict(os.environ, TMPDIR=folder))
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

        def port():
            for line in list(self.log):
                match = re.search(r"listening on http://127\.0\.0\.1:(\d+)/", line)
                if match:
                    return int(match.group(1))
            if self.process.poll() is not None:
                fail("the server ended: " + "".join(self.log))
            return None
        self.url = "http://127.0.0.1:%d" % wait_for("the server to listen", port)
        wait_for("/healthz", lambda: self._healthy())

    def _read(self):
        for line in self.process.stderr:
            self.log.append(line)
        self.process.stderr.close()

    def _healthy(self):
        try:
            return request(self.url + "/healthz")[0] == 200
        except OSError:
            return False

    def submit_game(self, name, steps, demogen, game_data, folder):
        status, body = request(self.url + "/api/v1/runs", "POST", b"")
        if status != 201:
            fail("no token: %d %s" % (status, body))
        token = json.loads(body)
        replay = os.path.join(folder, "game-%d.replay" % token["seed"])
        subprocess.run([demogen, game_data, replay, "--seed", str(token["seed"]), "--steps", str(steps)],
                       check=True, stdout=subprocess.DEVNULL)
        with open(replay, "rb") as f:
            status, body = request(self.url + "/api/v1/runs/%s?name=%s" % (token["token"], urllib.parse.quote(name)),
                                   "POST", f.read())
        if status != 201:
            fail("the game was not accepted: %d %s" % (status, body))
        return json.loads(body)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
        self.process.wait(timeout=30)
        self.reader.join(timeout=10)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """Chromium through chromedriver's WebDriver protocol (plain HTTP and JSON)."""

    def __init__(self, profile, downloads):
        port = free_port()
        self.driver = subprocess.Popen(["chromedriver", "--port=%d" % port, "--allowed-ips=127.0.0.1"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = "http://127.0.0.1:%d" % port
        wait_for("chromedriver", lambda: self._ready())
        options = {
            "binary": shutil.which("chromium") or "/usr/bin/chromium",
            "args": ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + profile],
            "prefs": {"download.default_directory": downloads, "download.prompt_for_download": False},
            # A small phone: 360 CSS pixels wide.
            "mobileEmulation": {"deviceMetrics": {"width": 360, "height": 740, "pixelRatio": 1.0}},
        }
        answer = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {"goog:chromeOptions": options}}})
        self.session = "/session/" + answer["sessionId"]

    def _ready(self):
        try:
            return json.loads(request(self.base + "/status", timeout=5)[1])["value"]["ready"]
        except (OSError, ValueError, KeyError):
            return False

    def call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        req = urllib.request.Request(self.base + path, data=data, method=method,
                                     headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(req, timeout=TIMEOUT) as answer:
                return json.loads(answer.read())["value"]
        except urllib.error.HTTPError as error:
            fail("WebDriver %s %s: %s" % (method, path, error.read()[:500]))

    def session_call(self, method, path, body=None):
        return self.call(method, self.session + path, body)

    def script(self, source):
        return self.session_call("POST", "/execute/sync", {"script": source, "args": []})

    def screenshot(self, path):
        with open(path, "wb") as f:
            f.write(base64.b64decode(self.session_call("GET", "/screenshot")))

    def quit(self):
        try:
            self.call("DELETE", self.session)
        finally:
            self.driver.terminate()
            self.driver.wait(timeout=30)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--server", "--verifier", "--demogen", "--game-data", "--artifacts"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    os.makedirs(args.artifacts, exist_ok=True)
    work = tempfile.mkdtemp(prefix="kav-page-test.")
    downloads = os.path.join(work, "downloads")
    os.makedirs(downloads)
    server = browser = None
    try:
        server = Server(args.server, args.verifier, work)
        escaped = server.submit_game("<b>&x</b>", 400, args.demogen, args.game_data, work)
        server.submit_game("WWWWWWWWWWWWWWWWWWWW", 300, args.demogen, args.game_data, work)
        server.submit_game("Ann  Lee", 250, args.demogen, args.game_data, work)
        source = request(server.url + "/")[1].decode()
        if "<script" in source:
            fail("the page has a script")

        browser = Browser(os.path.join(work, "profile"), downloads)
        browser.session_call("POST", "/url", {"url": server.url + "/"})
        rows = browser.script("return [...document.querySelectorAll('tbody tr')].map("
                              "r => [...r.cells].map(c => c.textContent));")
        if len(rows) != 3:
            fail("the table has %d rows: %r" % (len(rows), rows))
        names = [row[1] for row in rows]
        if "<b>&x</b>" not in names or "Ann  Lee" not in names:
            fail("the names are not shown as typed: %r" % names)
        if browser.script("return document.querySelector('td.name b') !== null;"):
            fail("a name became markup")
        scores = [int(row[2]) for row in rows]
        if scores != sorted(scores, reverse=True) or [row[0] for row in rows] != ["1", "2", "3"]:
            fail("the table is not ranked best first: %r" % rows)
        if browser.script("return window.innerWidth;") != 360:
            fail("the phone's width was not taken")
        if browser.script("return document.documentElement.scrollWidth > window.innerWidth;"):
            fail("the page scrolls sideways on a phone's width")
        browser.screenshot(os.path.join(args.artifacts, "server_page_phone.png"))

        # The escaped name's replay, downloaded by clicking its link.
        link = browser.session_call("POST", "/element", {
            "using": "css selector", "value": 'a[href="/runs/%d.replay"]' % escaped["id"]})
        browser.session_call("POST", "/element/%s/click" % list(link.values())[0], {})

        def downloaded():
            files = [f for f in os.listdir(downloads) if not f.endswith(".crdownload") and not f.startswith(".")]
            return files[0] if files else None
        name = wait_for("the replay to download", downloaded)
        if not name.endswith(".replay"):
            fail("the download is called " + name)
        verify = subprocess.run([os.path.abspath(args.verifier), "--verify", os.path.join(downloads, name)],
                                cwd=os.path.dirname(os.path.abspath(args.verifier)), capture_output=True, text=True,
                                timeout=120)
        expected = "score %d, wave %d, steps %d\n" % (escaped["score"], escaped["wave"], escaped["steps"])
        if verify.returncode != 0 or verify.stdout != expected:
            fail("--verify on the download: %d %r %r" % (verify.returncode, verify.stdout, verify.stderr))
        print("The page lists %d runs, shows %r as typed and its replay verifies: %s"
              % (len(rows), "<b>&x</b>", verify.stdout.strip()))
    finally:
        if browser:
            browser.quit()
        if server:
            server.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

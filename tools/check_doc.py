#!/usr/bin/env python3
"""Opens the HTML reference in headless Chromium and checks it as a reader
would: every function of toolbox/ has a page linked from the index, every
local link of every page resolves (file and anchor), every image loads
(naturalWidth > 0), no page reaches outside its folder or runs a script.
Writes screenshots of the index and of Jostrane's page into the folder.

    tools/check_doc.py [--self-test] DOCDIR

--self-test checks a copy of DOCDIR with a page removed, a link broken and a
figure removed, and passes only if each of the three is reported.
Chromium is driven through its DevTools protocol over a pipe
(--remote-debugging-pipe), so no port is opened.
"""
import base64
import fcntl
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
from urllib.parse import unquote, urlsplit

from make_doc import functions

# What the browser reports of a loaded page.
INSPECT = """JSON.stringify({
  ids: Array.from(document.querySelectorAll('[id], a[name]'), e => e.id || e.name),
  links: Array.from(document.querySelectorAll('[href]'), e => e.href),
  sources: Array.from(document.querySelectorAll('[src]'), e => e.src),
  images: Array.from(document.images, i => [i.src, i.complete ? i.naturalWidth : 0]),
  scripts: document.scripts.length,
  title: document.title})"""


class Browser:
    """One headless Chromium, one tab, spoken to over fds 3 and 4."""

    def __init__(self, profile):
        # Chromium reads commands from fd 3 and writes replies to fd 4.
        to_chrome_r, self.to_chrome = os.pipe()
        self.from_chrome, from_chrome_w = os.pipe()
        ends = [fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10) for fd in (to_chrome_r, from_chrome_w)]
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        args = ["chromium", "--headless", "--disable-gpu", "--remote-debugging-pipe",
                "--user-data-dir=" + profile, "--no-first-run", "--hide-scrollbars", "--disable-dev-shm-usage"]
        if os.geteuid() == 0:
            args.append("--no-sandbox")
        self.proc = subprocess.Popen(args, pass_fds=(3, 4), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL,
                                     preexec_fn=lambda: [os.dup2(e, fd) for e, fd in zip(ends, (3, 4))])
        for fd in ends:
            os.close(fd)
        self.buffer, self.next_id, self.session = b"", 0, None
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        self.call("Page.enable")

    def message(self):
        while b"\0" not in self.buffer:
            if not select.select([self.from_chrome], [], [], 60)[0]:
                raise RuntimeError("chromium has not answered for 60 s")
            chunk = os.read(self.from_chrome, 1 << 16)
            if not chunk:
                raise RuntimeError("chromium closed its pipe")
            self.buffer += chunk
        raw, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(raw)

    def call(self, method, wait_for=None, **params):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params}
        if self.session:
            request["sessionId"] = self.session
        os.write(self.to_chrome, json.dumps(request).encode() + b"\0")
        result, event = None, wait_for is None
        while result is None or not event:
            m = self.message()
            if m.get("id") == self.next_id:
                if "error" in m:
                    raise RuntimeError("%s: %s" % (method, m["error"]))
                result = m["result"]
            elif m.get("method") == wait_for:
                event = True
        return result

    def open(self, path, width=1100, height=900):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)
        self.call("Page.navigate", wait_for="Page.loadEventFired", url="file://" + path)
        value = self.call("Runtime.evaluate", expression=INSPECT, returnByValue=True)
        return json.loads(value["result"]["value"])

    def screenshot(self, path, out, width=1100, max_height=2400):
        self.open(path, width)
        height = self.call("Page.getLayoutMetrics")["cssContentSize"]["height"]
        self.open(path, width, min(int(height) + 1, max_height))
        png = self.call("Page.captureScreenshot", format="png")["data"]
        open(out, "wb").write(base64.b64decode(png))

    def close(self):
        try:
            self.call("Browser.close")
        except RuntimeError:
            pass
        self.proc.wait(timeout=30)


def page_of(name):
    """The file makeinfo names after a node (an underscore is _005f)."""
    return re.sub(r"[^A-Za-z0-9-]", lambda m: "_%04x" % ord(m.group()), name) + ".html"


def check(docdir, browser):
    """{check: [problem, ...]}: one check per function (it has a page the
    index links) and one per page (its links resolve, its images load)."""
    docdir = os.path.realpath(docdir)
    pages = sorted(f for f in os.listdir(docdir) if f.endswith(".html"))
    seen = {p: browser.open(os.path.join(docdir, p)) for p in pages}
    index_links = {unquote(urlsplit(u).path) for u in seen.get("index.html", {"links": []})["links"]}
    checks = {}
    for name in functions():
        found = checks.setdefault(name, [])
        page = os.path.join(docdir, page_of(name))
        if not os.path.isfile(page):
            found.append("no page %s" % page_of(name))
        elif page not in index_links:
            found.append("the index does not link %s" % page_of(name))
    for p, report in seen.items():
        found = checks.setdefault(p, [])
        for url in report["links"] + report["sources"]:
            parts = urlsplit(url)
            target = unquote(parts.path)
            relative = os.path.relpath(target, docdir)
            if parts.scheme != "file" or not target.startswith(docdir + os.sep):
                found.append("reaches outside the reference: %s" % url)
            elif not os.path.isfile(target):
                found.append("broken link %s" % relative)
            elif parts.fragment and relative in seen and unquote(parts.fragment) not in seen[relative]["ids"]:
                found.append("broken link %s#%s" % (relative, parts.fragment))
        found += ["image does not load: %s" % os.path.relpath(unquote(urlsplit(src).path), docdir)
                  for src, width in report["images"] if width <= 0]
        if report["scripts"]:
            found.append("%d scripts" % report["scripts"])
    return checks


def self_test(docdir, browser, tmp):
    """Breaks a copy of the reference three ways: a function's page removed,
    a link of the index sent to a missing anchor, a figure removed. True if
    each is reported."""
    copy = os.path.join(tmp, "broken")
    shutil.copytree(docdir, copy)
    name = functions()[0]
    os.remove(os.path.join(copy, page_of(name)))
    figure = os.path.join("demo", sorted(os.listdir(os.path.join(copy, "demo")))[0])
    os.remove(os.path.join(copy, figure))
    index = os.path.join(copy, "index.html")
    text = open(index, encoding="utf-8").read()
    target = re.search(r'href="([A-Za-z][^"#:]*\.html)"', text).group(1)
    open(index, "w", encoding="utf-8").write(text.replace('href="%s"' % target, 'href="%s#nowhere"' % target, 1))
    checks = check(copy, browser)
    expected = [(name, "no page " + page_of(name)), ("index.html", "broken link %s#nowhere" % target),
                ("Demo.html", "image does not load: " + figure)]
    missed = [(c, e) for c, e in expected if e not in checks.get(c, [])]
    for c, e in missed:
        print("  self-test: not reported: %s: %s" % (c, e))
    return not missed


def main():
    args = sys.argv[1:]
    test = "--self-test" in args
    args = [a for a in args if a != "--self-test"]
    if len(args) != 1:
        sys.exit(__doc__)
    docdir = os.path.realpath(args[0])
    with tempfile.TemporaryDirectory() as tmp:
        browser = Browser(os.path.join(tmp, "profile"))
        try:
            checks = check(docdir, browser)
            for c, found in checks.items():
                for problem in dict.fromkeys(found):
                    print("  %s: %s" % (c, problem))
            failed = sum(1 for found in checks.values() if found)
            passed = len(checks) - failed
            print("  %d functions, %d pages checked" % (len(functions()), len(checks) - len(functions())))
            if test:
                ok = self_test(docdir, browser, tmp)
                print("  self-test: a missing page, a broken link and a missing figure %s"
                      % ("are each reported" if ok else "are not all reported"))
                passed, failed = passed + ok, failed + (not ok)
            for name, out in (("index.html", "screenshot-index.png"),
                              (page_of("Jostrane"), "screenshot-Jostrane.png")):
                if os.path.isfile(os.path.join(docdir, name)):
                    browser.screenshot(os.path.join(docdir, name), os.path.join(docdir, out))
                    print("  screenshot: " + os.path.join(args[0], out))
        finally:
            browser.close()
    print("check-doc: %d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

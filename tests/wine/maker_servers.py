"""The maker's web servers, as the program's build names them (the CMake
settings QL_UPDATE_SERVER, QL_UPDATE_FALLBACK_SERVER, QL_NEWS_SERVER and
QL_START_PAGE), played by one small HTTP proxy on 127.0.0.1. The program is
pointed at it through http_proxy (harness.Program), so the built program
itself is tested, and nothing reaches the network.

    servers = MakerServers()
    servers.serve(servers.upgrade_file_address, upgrade_file("2.1", "http://a.cn/new"))
    test.start_program(web_proxy=servers.proxy)
    ...
    servers.requests  # the addresses asked for, in order
    servers.close()
"""
import http.server
import os
import threading
import urllib.parse

import harness

UPGRADE_FILE_PATH = "/deskorb/Upgrade.txt"
NEWS_PAGE_PATH = "/deskorb/gg.html"


def build_setting(name):
    """A string setting from the CMake cache of the Windows build under test."""
    with open(os.path.join(harness.WIN_BUILD, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            key, _, value = line.rstrip("\n").partition("=")
            if key.split(":")[0] == name:
                return value
    raise AssertionError("%s is not set in %s" % (name, harness.WIN_BUILD))


def normal_address(address):
    """The address without a default port, so that the proxy's and the build's forms match."""
    parts = urllib.parse.urlsplit(address)
    host = parts.hostname or ""
    if parts.port and parts.port != {"http": 80, "https": 443}.get(parts.scheme):
        host += ":%d" % parts.port
    return urllib.parse.urlunsplit((parts.scheme, host, parts.path or "/", parts.query, ""))


def upgrade_file(version, address, line_end="\r\n"):
    """An "Upgrade.txt" as the maker publishes it (GBK)."""
    return ("软件名称：青岚桌面工具箱" + line_end + "版本：" + version + line_end +
            "下载地址：" + address + line_end).encode("gbk")


class MakerServers:
    def __init__(self):
        self.update_server = build_setting("QL_UPDATE_SERVER")
        self.fallback_server = build_setting("QL_UPDATE_FALLBACK_SERVER")
        self.news_server = build_setting("QL_NEWS_SERVER")
        self.start_page = normal_address(build_setting("QL_START_PAGE"))
        self.upgrade_file_address = normal_address(self.update_server + UPGRADE_FILE_PATH)
        self.fallback_file_address = normal_address(self.fallback_server + UPGRADE_FILE_PATH)
        self.news_page_address = normal_address(self.news_server + NEWS_PAGE_PATH)
        self._pages = {}
        self._held = {}  # address -> event that lets its answer go
        self._lock = threading.Lock()
        self.requests = []
        servers = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                address = normal_address(self.path)
                with servers._lock:
                    servers.requests.append(address)
                    held = servers._held.get(address)
                if held:
                    held.wait(120)
                with servers._lock:
                    status, body = servers._pages.get(address, (404, b"<html>Not Found</html>"))
                self.send_response(status)
                kind = "text/plain" if address.endswith(".txt") else "text/html"
                self.send_header("Content-Type", kind + "; charset=gbk")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *arguments):
                pass

        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self._server.daemon_threads = True
        self.proxy = "http://127.0.0.1:%d" % self._server.server_address[1]
        threading.Thread(target=self._server.serve_forever, daemon=True).start()

    def serve(self, address, body, status=200):
        """Answers `address` (a full address) with `body` from now on."""
        with self._lock:
            self._pages[normal_address(address)] = (status, body)

    def hold(self, address):
        """Keeps every answer to `address` back until release()."""
        with self._lock:
            self._held[normal_address(address)] = threading.Event()

    def release(self):
        with self._lock:
            for event in self._held.values():
                event.set()
            self._held.clear()

    def count(self, address):
        with self._lock:
            return self.requests.count(normal_address(address))

    def close(self):
        self.release()
        self._server.shutdown()
        self._server.server_close()

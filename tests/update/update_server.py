#!/usr/bin/env python3
"""A local download server for the update tests.

Serves the files below a root folder over HTTPS on 127.0.0.1, on two free
ports: one with a certificate from the test CA (the tests trust it through
an administrator's policy naming the CA file), one with a certificate from
another CA that nobody trusts. A third port accepts connections and never
answers; a fourth serves the same files over plain http. Every request that
reaches any of them is appended to the state folder's "requests" file.
Beside a served file, small side files change the answer:

  NAME.status   "301 https://elsewhere/" : that status (and Location) instead
  NAME.stall    "N" : send the headers and the first N bytes, then go silent
  NAME.trickle  "MS" : send the headers, then one byte of the body every MS ms
"""
import http.server
import os
import pathlib
import socket
import ssl
import subprocess
import sys
import threading
import time

SIGNER = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "sign-version-file.py"


def run_openssl(state, *args):
    subprocess.run(["openssl", *args], check=True, cwd=state,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_signing_keys(state):
    """The test publisher's P-256 key pair, with its public half as the
    policy names it, and a stranger's key; made once per folder."""
    if (state / "signing-key.hex").exists():
        return
    for name in ("stranger-signing-key.pem", "signing-key.pem"):
        run_openssl(state, "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", name)
    public = subprocess.run([sys.executable, str(SIGNER), "--public", "signing-key.pem"],
                            check=True, cwd=state, capture_output=True).stdout
    (state / "signing-key.hex.new").write_bytes(public.strip())
    os.replace(state / "signing-key.hex.new", state / "signing-key.hex")


def make_certificates(state):
    """A test CA and a server certificate it signed, plus a stranger CA with
    a server certificate of its own; made once per folder."""
    if (state / "stranger-server.pem").exists():
        return
    def run(*args):
        run_openssl(state, *args)
    extensions = state / "server.ext"
    extensions.write_text(
        "subjectAltName=DNS:localhost,IP:127.0.0.1\n"
        "extendedKeyUsage=serverAuth\n"
        "basicConstraints=CA:FALSE\n")
    for ca in ("ca", "stranger"):
        run("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
            "-subj", f"/CN=Vantrel {ca} test CA", "-keyout", f"{ca}-key.pem",
            "-out", f"{ca}.pem", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        run("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost",
            "-keyout", f"{ca}-server-key.pem", "-out", f"{ca}-server.csr")
        run("x509", "-req", "-in", f"{ca}-server.csr", "-CA", f"{ca}.pem",
            "-CAkey", f"{ca}-key.pem", "-CAcreateserial", "-days", "30",
            "-extfile", str(extensions), "-out", f"{ca}-server.pem")


class Handler(http.server.BaseHTTPRequestHandler):
    root = pathlib.Path(".")
    requests = pathlib.Path("requests")
    requests_lock = threading.Lock()
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with self.requests_lock, open(self.requests, "a") as log:
            log.write(self.path + "\n")
        path = (self.root / self.path.split("?")[0].lstrip("/")).resolve()
        if self.root.resolve() not in path.parents:
            return self.answer(404, b"")
        status_file = path.with_name(path.name + ".status")
        stall_file = path.with_name(path.name + ".stall")
        trickle_file = path.with_name(path.name + ".trickle")
        if status_file.exists():
            status, _, location = status_file.read_text().strip().partition(" ")
            body = path.read_bytes() if path.is_file() else b"moved"
            return self.answer(int(status), body, location)
        if not path.is_file():
            return self.answer(404, b"<html><body>404 Not Found</body></html>")
        body = path.read_bytes()
        if stall_file.exists():
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:int(stall_file.read_text().strip() or 0)])
            self.wfile.flush()
            time.sleep(600)
            return
        if trickle_file.exists():
            return self.trickle(body, int(trickle_file.read_text()) / 1000)
        self.answer(200, body)

    def trickle(self, body, seconds):
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            for index in range(len(body)):
                self.wfile.write(body[index:index + 1])
                self.wfile.flush()
                time.sleep(seconds)
        except OSError:
            pass  # the client gave up

    def answer(self, status, body, location=""):
        self.send_response(status)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def serve(certificates, ca):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if ca:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(certificates / f"{ca}-server.pem",
                                certificates / f"{ca}-server-key.pem")
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def serve_silence():
    """A port that accepts connections and then never says a word, not even
    the TLS handshake."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    held = []
    def accept():
        while True:
            held.append(listener.accept()[0])
    threading.Thread(target=accept, daemon=True).start()
    return listener.getsockname()[1]


def main():
    certificates, state, root = (pathlib.Path(arg) for arg in sys.argv[1:4])
    for folder in (certificates, state, root):
        folder.mkdir(parents=True, exist_ok=True)
    make_certificates(certificates)
    make_signing_keys(certificates)
    Handler.root = root
    Handler.requests = state / "requests"
    port = serve(certificates, "ca")
    stranger_port = serve(certificates, "stranger")
    (state / "silent-port").write_text(str(serve_silence()))
    (state / "plain-port").write_text(str(serve(certificates, None)))
    (state / "pid").write_text(str(os.getpid()))
    (state / "stranger-port").write_text(str(stranger_port))
    # Written last: its presence tells the starter that both ports listen.
    (state / "port.new").write_text(str(port))
    os.replace(state / "port.new", state / "port")
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    main()

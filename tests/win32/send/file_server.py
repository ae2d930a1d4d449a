#!/usr/bin/python3
"""Loopback file servers for the sending test, all over one folder <dir>/root:
  PORT    FTP          PORT+1  FTP, explicit TLS (trusted certificate)
  PORT+2  FTP, implicit TLS    PORT+3  FTP, explicit TLS, a certificate nobody trusts
  PORT+4  SFTP (paramiko)
One login: USER / PASSWORD. The test drives it with files in <dir>:
  "quota" (a number): a plain-FTP upload that leaves the folder over that many bytes is refused with 552
  "drop"  (a number): the next plain-FTP upload is cut, control and data, past that many bytes
  "badhash": plain FTP's HASH answers a SHA-256 that is not the file's
  "newkey": the SFTP host key is replaced        "quit": the servers end
It answers in <dir>/state ("listening", "newkey-done", "ended"); it quits on its own after five minutes."""
import hashlib
import logging
import os
import socket
import subprocess
import sys
import threading
import time

import paramiko
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer

DIR, PORT, USER, PASSWORD = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
ROOT = os.path.join(DIR, "root")


def state(text):
    with open(os.path.join(DIR, "state.tmp"), "w") as f:
        f.write(text)
    os.replace(os.path.join(DIR, "state.tmp"), os.path.join(DIR, "state"))


def order_number(name):
    try:
        with open(os.path.join(DIR, name)) as f:
            return int(f.read().strip() or "0")
    except (OSError, ValueError):
        return None


def certificate(stem):   # <stem>.pem, its key, and <stem>.der for the test to trust
    key, cert = os.path.join(DIR, stem + "-key.pem"), os.path.join(DIR, stem + ".pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                    "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    subprocess.run(["openssl", "x509", "-in", cert, "-outform", "DER", "-out", os.path.join(DIR, stem + ".der")],
                   check=True)
    return cert, key


def folder_bytes():
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(ROOT) for f in fs)


class HashingFTP(FTPHandler):
    """Plain FTP that tells a file's SHA-256 (HASH), as some servers do."""
    proto_cmds = dict(FTPHandler.proto_cmds, HASH=dict(perm="r", auth=True, arg=True, help="HASH <file>"))

    def ftp_HASH(self, path):
        with open(path, "rb") as f:
            data = b"another file" if os.path.exists(os.path.join(DIR, "badhash")) else f.read()
        self.respond("213 SHA-256 0-%d %s %s" % (os.path.getsize(path) - 1, hashlib.sha256(data).hexdigest(), path))


class FaultyDTP(DTPHandler):
    def handle_read(self):
        super().handle_read()
        cut = order_number("drop")
        if cut is not None and self.tot_bytes_received > cut:
            os.remove(os.path.join(DIR, "drop"))
            self.file_obj.flush()
            self.cmd_channel.close()   # closes this data channel too, without a reply

    handle_read_event = handle_read

    def handle_close(self):
        quota = order_number("quota")
        if not self._closed and self.receive and quota is not None and self.file_obj:
            self.file_obj.flush()
            if folder_bytes() > quota:
                name = self.file_obj.name
                self._resp = ("552 Exceeded storage allocation.", lambda *a: None)
                self.close()
                os.remove(name)
                return
        super().handle_close()


class TlsDTP(TLS_DTPHandler):
    # A client may open the data channel's TLS before its command arrives (curl
    # does); pyftpdlib would close such a channel as unused.
    def readable(self):
        return super().readable() if self._initialized else self._ssl_accepting


def ftp_servers():
    users = DummyAuthorizer()
    users.add_user(USER, PASSWORD, ROOT, perm="elradfmwMT")
    trusted, untrusted = certificate("cert"), certificate("stranger")

    def handler(base, cert=None, **extra):
        attrs = dict(authorizer=users, passive_ports=range(PORT + 10, PORT + 60), **extra)
        if cert:
            attrs.update(certfile=cert[0], keyfile=cert[1], tls_control_required=True,
                         tls_data_required=True, ssl_context=None, dtp_handler=TlsDTP)
        return type("Handler", (base,), attrs)

    class Implicit(handler(TLS_FTPHandler, trusted)):
        def handle(self):
            self.secure_connection(self.ssl_context)
            self._pbsz = True
            super().handle()

    kinds = [handler(HashingFTP, dtp_handler=FaultyDTP), handler(TLS_FTPHandler, trusted), Implicit,
             handler(TLS_FTPHandler, untrusted)]
    return [FTPServer(("127.0.0.1", PORT + i), kind) for i, kind in enumerate(kinds)]


class SftpLogin(paramiko.ServerInterface):
    def check_auth_password(self, username, password):
        ok = username == USER and password == PASSWORD
        return paramiko.AUTH_SUCCESSFUL if ok else paramiko.AUTH_FAILED

    def get_allowed_auths(self, username):
        return "password"

    def check_channel_request(self, kind, chanid):
        return paramiko.OPEN_SUCCEEDED if kind == "session" else paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED


def answer(call, done=None):   # what `call` gives, or `done` once it has run; the errno as SFTP's code
    try:
        value = call()
        return value if done is None else done
    except OSError as e:
        return paramiko.SFTPServer.convert_errno(e.errno)


class SftpFolder(paramiko.SFTPServerInterface):
    def real(self, path):
        return os.path.join(ROOT, os.path.normpath("/" + path).lstrip("/"))

    def attributes(self, path, name=None):
        a = paramiko.SFTPAttributes.from_stat(os.stat(self.real(path)))
        a.filename = name
        return a

    def list_folder(self, path):
        return answer(lambda: [self.attributes(path + "/" + n, n) for n in os.listdir(self.real(path))])

    def stat(self, path):
        return answer(lambda: self.attributes(path))

    lstat = stat

    def open(self, path, flags, attr):
        def opened():
            handle = paramiko.SFTPHandle(flags)
            mode = "ab" if flags & os.O_APPEND else "wb" if flags & os.O_WRONLY else "rb"
            handle.readfile = handle.writefile = os.fdopen(os.open(self.real(path), flags, 0o644), mode)
            return handle
        return answer(opened)

    def remove(self, path):
        return answer(lambda: os.remove(self.real(path)), paramiko.SFTP_OK)

    def rename(self, old, new):
        return answer(lambda: os.replace(self.real(old), self.real(new)), paramiko.SFTP_OK)

    def mkdir(self, path, attr):
        return answer(lambda: os.mkdir(self.real(path)), paramiko.SFTP_OK)


class Sftp:
    def __init__(self):
        self.key = paramiko.RSAKey.generate(2048)
        self.listener = socket.create_server(("127.0.0.1", PORT + 4))
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while True:
            conn, _ = self.listener.accept()
            t = paramiko.Transport(conn)
            t.add_server_key(self.key)
            # paramiko without moduli files cannot do group exchange, yet may agree to it
            t.get_security_options().kex = ("diffie-hellman-group14-sha256", "diffie-hellman-group14-sha1")
            t.set_subsystem_handler("sftp", paramiko.SFTPServer, SftpFolder)
            try:
                t.start_server(server=SftpLogin())
            except Exception:
                t.close()


def main():
    logging.disable(logging.INFO)   # each turn of the loop would log a start
    os.makedirs(ROOT, exist_ok=True)
    servers = ftp_servers()
    sftp = Sftp()
    state("listening")
    deadline = time.time() + 300
    while time.time() < deadline and not os.path.exists(os.path.join(DIR, "quit")):
        servers[0].serve_forever(timeout=0.05, blocking=False, handle_exit=False)   # one loop serves all four
        if os.path.exists(os.path.join(DIR, "newkey")):
            os.remove(os.path.join(DIR, "newkey"))
            sftp.key = paramiko.RSAKey.generate(2048)
            state("newkey-done")
    for s in servers:
        s.close_all()
    state("ended")


if __name__ == "__main__":
    main()

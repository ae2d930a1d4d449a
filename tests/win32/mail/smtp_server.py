#!/usr/bin/python3
"""A loopback SMTP server for the e-mail test: STARTTLS on a certificate made
here, a login, and each message received written to <dir>/msg-N.txt (subject and
body decoded, UTF-8); "recusado@..." is refused as a recipient. The test drives it with files in <dir>: "stop", "start" and
"quit"; it answers in <dir>/state. It quits on its own after five minutes."""
import email
import email.policy
import os
import ssl
import subprocess
import sys
import time
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

DIR, PORT, USER, PASSWORD = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]


def make_certificate():
    key, cert = os.path.join(DIR, "key.pem"), os.path.join(DIR, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    subprocess.run(["openssl", "x509", "-in", cert, "-outform", "DER", "-out",
                    os.path.join(DIR, "cert.der.tmp")], check=True)
    os.rename(os.path.join(DIR, "cert.der.tmp"), os.path.join(DIR, "cert.der"))
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return context


class Keep:
    count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("recusado@"):
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        msg = email.message_from_bytes(envelope.content, policy=email.policy.default)
        Keep.count += 1
        text = "Subject: %s\nTo: %s\n\n%s" % (msg["subject"], ";".join(envelope.rcpt_tos),
                                                msg.get_content())
        path = os.path.join(DIR, "msg-%d.txt" % Keep.count)
        with open(path + ".tmp", "w", encoding="utf-8") as f:
            f.write(text)
        os.rename(path + ".tmp", path)
        return "250 OK"


def check_login(server, session, envelope, mechanism, auth_data):
    ok = auth_data.login == USER.encode() and auth_data.password == PASSWORD.encode()
    return AuthResult(success=ok, handled=False)


def state(text):
    with open(os.path.join(DIR, "state.tmp"), "w") as f:
        f.write(text)
    os.replace(os.path.join(DIR, "state.tmp"), os.path.join(DIR, "state"))


def main():
    warnings.simplefilter("ignore")   # aiosmtpd's own deprecation notes
    context = make_certificate()
    def listen():   # a stopped controller cannot start again: a new one each time
        c = Controller(Keep(), hostname="127.0.0.1", port=PORT, tls_context=context,
                       require_starttls=True, authenticator=check_login, auth_required=True)
        c.start()
        return c

    controller = listen()
    running = True
    state("listening")
    deadline = time.time() + 300
    while time.time() < deadline:
        for order in ("stop", "start", "quit"):
            path = os.path.join(DIR, order)
            if not os.path.exists(path):
                continue
            os.remove(path)
            if order == "quit":
                deadline = 0
            elif order == "stop" and running:
                controller.stop()
                running = False
                state("stopped")
            elif order == "start" and not running:
                controller = listen()
                running = True
                state("listening")
        time.sleep(0.05)
    if running:
        controller.stop()
    state("ended")


main()

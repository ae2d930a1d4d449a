#!/usr/bin/python3
"""A loopback FTP server for the sending test: one user, its folder <dir>/raiz.
It answers in <dir>/state ("listening", then "ended" once <dir>/quit exists, or
after five minutes)."""
import os
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

DIR, PORT, USER, PASSWORD = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]


def state(text):
    with open(os.path.join(DIR, "state.tmp"), "w") as f:
        f.write(text)
    os.replace(os.path.join(DIR, "state.tmp"), os.path.join(DIR, "state"))


authorizer = DummyAuthorizer()
authorizer.add_user(USER, PASSWORD, os.path.join(DIR, "raiz"), perm="elradfmwMT")
FTPHandler.authorizer = authorizer
FTPHandler.passive_ports = range(PORT + 1, PORT + 40)
server = FTPServer(("127.0.0.1", PORT), FTPHandler)
threading.Thread(target=server.serve_forever, kwargs={"timeout": 0.2}, daemon=True).start()
state("listening")
until = time.time() + 300
while time.time() < until and not os.path.exists(os.path.join(DIR, "quit")):
    time.sleep(0.1)
server.close_all()
state("ended")

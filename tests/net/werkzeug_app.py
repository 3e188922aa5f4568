"""A form echo server on werkzeug's own HTTP/1.1 server, for the client's tests.

Usage: werkzeug_app.py PORT_FILE. Serves on 127.0.0.1 at a free port, which it
writes to PORT_FILE. POST /echo answers with the form it parsed, names, values
and file contents in hexadecimal, as a streamed chunked XML reply after which
the connection stays open for HOLD_SECONDS; /quit ends the server, and so does
LIFETIME_SECONDS.
"""
import logging
import os
import sys
import threading
import time

from werkzeug.serving import make_server
from werkzeug.wrappers import Request, Response

HOLD_SECONDS = 20
LIFETIME_SECONDS = 300
PAD_PIECES = 10


class ByteRequest(Request):
    charset = "latin-1"  # every byte of a field comes back as one character


class HeldReply:
    """The reply in pieces; werkzeug sends the last chunk before close()."""

    def __init__(self, pieces):
        self.pieces = pieces

    def __iter__(self):
        for piece in self.pieces:
            time.sleep(0.01)
            yield piece.encode("ascii")

    def close(self):
        time.sleep(HOLD_SECONDS)


def hexed(text):
    return text.encode("latin-1").hex()


@ByteRequest.application
def app(request):
    if request.path == "/missing":
        return Response("not here", status=404)
    if request.path == "/quit":
        threading.Timer(0.2, os._exit, [0]).start()
        return Response("bye")
    pieces = ['<?xml version="1.0"?>\n<form>\n']
    for name, value in request.form.items(multi=True):
        pieces.append(f'<field name="{hexed(name)}" value="{hexed(value)}"/>\n')
    for name, upload in request.files.items(multi=True):
        pieces.append(f'<file name="{hexed(name)}" filename="{hexed(upload.filename)}" '
                      f'value="{upload.read().hex()}"/>\n')
    pieces += ["<pad>"] + ["x" * 4096] * PAD_PIECES + ["</pad>\n</form>\n"]
    return Response(HeldReply(pieces), mimetype="text/xml")


def main():
    logging.getLogger("werkzeug").setLevel(logging.ERROR)
    threading.Timer(LIFETIME_SECONDS, os._exit, [1]).start()
    server = make_server("127.0.0.1", 0, app, threaded=True)
    with open(sys.argv[1] + ".part", "w") as port_file:
        port_file.write(str(server.socket.getsockname()[1]))
    os.replace(sys.argv[1] + ".part", sys.argv[1])
    server.serve_forever()


if __name__ == "__main__":
    main()

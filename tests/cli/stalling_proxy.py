#!/usr/bin/env python3
"""A TCP proxy in front of a server on 127.0.0.1 that goes silent in the middle
of a draw, as a link that dies does.

    stalling_proxy.py SERVER_PORT PORT_FILE SILENT_FILE MARKER... -- COMMAND...

It forwards both ways until a client sends bytes that hold one of the
markers (the statement that locks the range's row), forwards those, keeps
the server's answer back, and from then on forwards nothing in either
direction. It then runs COMMAND (which cuts the link below TCP, so that not
even keepalive probes are answered) and writes SILENT_FILE. Its connections
to the server stay open until it is ended: the server has to free the row by
itself. PORT_FILE receives the port it listens on."""
import socket
import subprocess
import sys
import threading

args = sys.argv[1:]
split = args.index("--")
server_port, port_file, silent_file = int(args[0]), args[1], args[2]
markers = [marker.encode() for marker in args[3:split]]
command = args[split + 1:]
longest = max(len(marker) for marker in markers)
silent = threading.Event()


def go_silent(answered):
    # The server has taken the statement (and locked the row) once it answers.
    answered.wait(10)
    subprocess.run(command, check=True)
    with open(silent_file, "w") as out:
        out.write("answered\n" if answered.is_set() else "unanswered\n")


def pump(source, target, from_client, answered):
    seen = b""
    while True:
        try:
            data = source.recv(65536)
        except OSError:
            return
        if not data:
            if not silent.is_set():
                try:
                    target.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
            return
        if silent.is_set():
            if not from_client:
                answered.set()
            continue  # kept back
        seen = (seen + data)[-(longest + len(data)):]
        if from_client and any(marker in seen for marker in markers):
            silent.set()
            target.sendall(data)
            threading.Thread(target=go_silent, args=(answered,), daemon=True).start()
            continue
        target.sendall(data)


listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(16)
with open(port_file, "w") as out:
    out.write(f"{listener.getsockname()[1]}\n")
while True:
    client, _ = listener.accept()
    server = socket.create_connection(("127.0.0.1", server_port))
    answered = threading.Event()
    threading.Thread(target=pump, args=(client, server, True, answered), daemon=True).start()
    threading.Thread(target=pump, args=(server, client, False, answered), daemon=True).start()

#!/usr/bin/env python3
"""bench/http/serve.py SIZE_MIB: a loopback HTTP/1.1 peer for the client benchmark.

Answers from memory, keeping connections alive: /counted (SIZE_MIB MiB with Content-Length),
/chunked (the same bytes in 32 KiB chunks, as a server streaming its output sends them) and
/small (10 000 bytes). Prints its port, then serves until it is killed.
"""
import os
import socket
import sys
import threading

CHUNK = 32 * 1024


def answers(size_mib):
    block = os.urandom(1 << 20)
    body = block * size_mib
    chunked = bytearray(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
    view = memoryview(body)
    for at in range(0, len(body), CHUNK):
        piece = view[at:at + CHUNK]
        chunked += b"%x\r\n" % len(piece)
        chunked += piece
        chunked += b"\r\n"
    chunked += b"0\r\n\r\n"
    small = block[:10000]
    return {
        b"/counted": b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body,
        b"/chunked": bytes(chunked),
        b"/small": b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(small) + small,
    }


def serve(connection, table):
    pending = b""
    with connection:
        while True:
            while b"\r\n\r\n" not in pending:
                data = connection.recv(65536)
                if not data:
                    return
                pending += data
            head, pending = pending.split(b"\r\n\r\n", 1)
            path = head.split(b" ", 2)[1] if head.count(b" ") >= 2 else b""
            connection.sendall(table.get(path, b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"))


def main():
    table = answers(int(sys.argv[1]) if len(sys.argv) > 1 else 256)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print(listener.getsockname()[1], flush=True)
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=serve, args=(connection, table), daemon=True).start()


if __name__ == "__main__":
    main()

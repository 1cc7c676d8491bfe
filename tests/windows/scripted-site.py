#!/usr/bin/env python3
"""A local web site for the Windows tests: prepared pages by path, a 404, a 10 MB page, and
a path that never answers. Writes its port to the file named first, the path of every
request to that name plus ".requests" (a line each), and ends once a file of that name plus
".stop" exists or the port file is gone (Wine cannot end a Unix process it started).
   scripted-site.py PORT_FILE"""
import os
import socket
import sys
import threading

TITLE = "Pathtally 软件最新版本号为："


def page(title, head=""):
    return f"<html><head>{head}<title>{title}</title></head><body>update</body></html>"


PAGES = {
    "/pt/pt_update.asp": ("200 OK", "text/html; charset=utf-8", page(TITLE + "V9.0.0").encode()),
    "/current": ("200 OK", "text/html; charset=utf-8", page(TITLE + "V1.0.1").encode()),
    "/gbk": ("200 OK", "text/html",
             page(TITLE + "V1.0.10",
                  '<meta http-equiv="Content-Type" content="text/html; charset=gbk">')
             .encode("gbk")),
    "/big5": ("200 OK", "text/html; charset=big5", page("Pathtally 軟體最新版本號為：V1.0.10")
              .encode("big5")),
    "/pt/paiming.asp": ("200 OK", "text/html; charset=utf-8", page("Pathtally ranking").encode()),
    "/pt/h1/": ("200 OK", "text/html; charset=utf-8", page("Pathtally home strip").encode()),
    "/no-title": ("200 OK", "text/html", b"<html><body>no title</body></html>"),
    "/missing": ("404 Not Found", "text/html", page("Pathtally 404").encode()),
    "/big": ("200 OK", "text/html; charset=utf-8",
             page(TITLE + "V2.0.0").encode() + b" " * (10 * 1024 * 1024)),
}


def serve(conn):
    with conn:
        request = b""
        while b"\r\n\r\n" not in request:
            chunk = conn.recv(4096)
            if not chunk:
                return
            request += chunk
        path = request.split(b"\r\n", 1)[0].split(b" ")[1].decode()
        with open(sys.argv[1] + ".requests", "a") as log:
            log.write(path + "\n")
        if path not in PAGES:  # never answers
            threading.Event().wait(30)
            return
        status, content_type, body = PAGES[path]
        head = (f"HTTP/1.1 {status}\r\nContent-Type: {content_type}\r\n"
                f"Content-Length: {len(body)}\r\nConnection: close\r\n\r\n").encode()
        try:
            conn.sendall(head + body)
        except OSError:
            pass  # the reader stopped at its size limit


def main():
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(16)
    server.settimeout(0.2)
    with open(sys.argv[1] + ".new", "w") as out:
        out.write(str(server.getsockname()[1]))
    os.replace(sys.argv[1] + ".new", sys.argv[1])
    # Also ends when the test's folder is gone (a test that crashed wrote no stop file).
    while not os.path.exists(sys.argv[1] + ".stop") and os.path.exists(sys.argv[1]):
        try:
            conn, _ = server.accept()
        except socket.timeout:
            continue
        conn.settimeout(None)
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


main()

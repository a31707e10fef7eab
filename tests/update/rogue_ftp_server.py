#!/usr/bin/python3
"""A raw-socket FTP server on 127.0.0.1 that misbehaves on purpose, for the update-check tests.

Speaks just enough FTP for libcurl (USER, PASS, TYPE, SYST, PWD, REST, SIZE, PASV, RETR, QUIT)
and serves the files of --root. Like ftp_server.py it prints its port on the first line of
stdout, writes every command it receives to --log ("<closed>" when a connection ends) and ends
by itself after --lifetime seconds. Its 150 reply never announces a size, so only SIZE tells the
client how long a file is.

Faults, each bounded in time and count:
  --flood CMD        answers CMD (or GREETING) with "123-" continuation lines, as fast as the
                     client takes them, for at most --flood-seconds or --flood-lines lines,
                     then with the normal reply
  --size-reply TEXT  answers SIZE Skarvel.zip with TEXT
  --cut-after N      sends only N bytes of Skarvel.zip, closes the data connection, says 226
  --drip N           sends Skarvel.zip N bytes every 100 ms (for at most 60 s)
"""
import argparse
import os
import signal
import socket
import sys
import threading
import time

ARCHIVE = "Skarvel.zip"


def parse_arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=".")
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=int, default=120)
    parser.add_argument("--flood", default="")
    parser.add_argument("--flood-seconds", type=float, default=10)
    parser.add_argument("--flood-lines", type=int, default=5000000)
    parser.add_argument("--size-reply")
    parser.add_argument("--cut-after", type=int)
    parser.add_argument("--drip", type=int, default=0)
    return parser.parse_args()


class Session:
    def __init__(self, control, arguments, log):
        self.control = control
        self.arguments = arguments
        self.log = log
        self.reader = control.makefile("rb")
        self.passive = None
        self.rest = 0

    def send(self, text):
        self.control.sendall(text.encode("latin-1") + b"\r\n")

    def reply(self, command, text):
        if command == self.arguments.flood.upper():
            self.flood()
        self.send(text)

    def flood(self):
        deadline = time.monotonic() + self.arguments.flood_seconds
        sent = 0
        while sent < self.arguments.flood_lines and time.monotonic() < deadline:
            self.control.sendall(b"".join(b"123-flood line %d\r\n" % (sent + i)
                                          for i in range(100)))
            sent += 100

    def run(self):
        self.control.settimeout(10)  # a sendall to a client that stopped reading ends too
        self.reply("GREETING", "220 Rogue FTP ready")
        for _ in range(1000):
            raw = self.reader.readline(4096)
            if not raw:
                return
            line = raw.decode("latin-1").rstrip("\r\n")
            self.log.write(line + "\n")
            command, _, argument = line.partition(" ")
            command = command.upper()
            if command == "QUIT":
                self.reply(command, "221 Goodbye")
                return
            self.reply(command, self.answer(command, argument))

    def answer(self, command, argument):
        simple = {"USER": "331 Password required", "PASS": "230 Logged in",
                  "TYPE": "200 Type set", "SYST": "215 UNIX Type: L8",
                  "PWD": '257 "/" is the current directory'}
        if command in simple:
            return simple[command]
        if command == "REST":
            self.rest = int(argument)
            return "350 Restarting at %d" % self.rest
        if command == "SIZE":
            if self.arguments.size_reply is not None and argument == ARCHIVE:
                return self.arguments.size_reply
            path = self.path(argument)
            return "213 %d" % os.path.getsize(path) if path else "550 No such file"
        if command == "PASV":
            self.close_passive()
            self.passive = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            self.passive.bind(("127.0.0.1", 0))
            self.passive.listen(1)
            port = self.passive.getsockname()[1]
            return "227 Entering Passive Mode (127,0,0,1,%d,%d)" % (port >> 8, port & 255)
        if command == "RETR":
            return self.retrieve(argument)
        return "502 Command not implemented"

    def path(self, name):
        path = os.path.join(self.arguments.root, name)
        return path if os.path.isfile(path) else None

    def close_passive(self):
        if self.passive is not None:
            self.passive.close()
            self.passive = None

    def retrieve(self, name):
        path = self.path(name)
        if self.passive is None or path is None:
            self.close_passive()
            return "550 No such file"
        with open(path, "rb") as source:
            data = source.read()[self.rest:]
        self.rest = 0
        self.passive.settimeout(5)
        try:
            channel, _ = self.passive.accept()
        except OSError:
            return "425 No data connection"
        finally:
            self.close_passive()
        self.send("150 Opening BINARY mode data connection")
        rogue = name == ARCHIVE
        if rogue and self.arguments.cut_after is not None:
            data = data[:self.arguments.cut_after]
        step = self.arguments.drip if rogue and self.arguments.drip else len(data) or 1
        deadline = time.monotonic() + 60
        try:
            with channel:
                channel.settimeout(5)
                for start in range(0, len(data), step):
                    if time.monotonic() > deadline:
                        break
                    channel.sendall(data[start:start + step])
                    if step < len(data):
                        time.sleep(0.1)
        except OSError:
            return "426 Connection closed; transfer aborted"
        return "226 Transfer complete"


def serve(session):
    try:
        session.run()
    except OSError:
        pass
    finally:
        session.close_passive()
        session.control.close()
        session.log.write("<closed>\n")


def main():
    arguments = parse_arguments()
    signal.alarm(arguments.lifetime)  # the safety net: SIGALRM ends the process
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(5)
    sys.stdout.write("%d\n" % listener.getsockname()[1])
    sys.stdout.flush()
    log = open(arguments.log, "a", buffering=1)
    for _ in range(100):
        control, _ = listener.accept()
        threading.Thread(target=serve, args=(Session(control, arguments, log),),
                         daemon=True).start()


if __name__ == "__main__":
    main()

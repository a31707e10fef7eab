#!/usr/bin/python3
"""A small FTP server on 127.0.0.1 for the update-check tests.

Serves the files of --root to user zq/zq on a free port, prints the port on the first line of
stdout and writes every command it receives to --log, one per line ("<closed>" when a
connection ends). It ends by itself after --lifetime seconds, so a test that dies cannot leave
it running.

Modes of the pyftpdlib server:
  (default)        a normal server
  --no-rest        a server that does not understand REST
  --silent-on CMD  a server that never answers CMD
  --banner-length  a greeting line of that many characters
  --drop-after-send  a server that closes the control connection after each file it sent
  --greeting-only  a raw socket server that greets and then never answers anything

--rogue: a raw-socket server that misbehaves on purpose. It speaks just enough FTP for libcurl
(USER, PASS, TYPE, SYST, PWD, REST, SIZE, PASV, RETR, QUIT); its 150 reply never announces a
size, so only SIZE tells the client how long a file is. Faults, each bounded in time and count:
  --flood CMD        answers CMD (or GREETING) with "123-" continuation lines, as fast as the
                     client takes them, for at most --flood-seconds or --flood-lines lines,
                     then with the normal reply
  --size-reply TEXT  answers SIZE Skarvel.zip with TEXT
  --cut-after N      sends only N bytes of Skarvel.zip, closes the data connection, says 226
  --drip N           sends Skarvel.zip N bytes every 100 ms (for at most 60 s)
"""
import argparse
import logging
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
    parser.add_argument("--no-rest", action="store_true")
    parser.add_argument("--silent-on", default="")
    parser.add_argument("--banner-length", type=int, default=0)
    parser.add_argument("--greeting-only", action="store_true")
    parser.add_argument("--drop-after-send", action="store_true")
    parser.add_argument("--rogue", action="store_true")
    parser.add_argument("--flood", default="")
    parser.add_argument("--flood-seconds", type=float, default=10)
    parser.add_argument("--flood-lines", type=int, default=5000000)
    parser.add_argument("--size-reply")
    parser.add_argument("--cut-after", type=int)
    parser.add_argument("--drip", type=int, default=0)
    return parser.parse_args()


def announce(port):
    sys.stdout.write("%d\n" % port)
    sys.stdout.flush()


def listen():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(5)
    announce(listener.getsockname()[1])
    return listener


def serve_greeting_only(log_path):
    listener = listen()
    clients = []
    with open(log_path, "a", buffering=1) as log:
        while True:
            client, _ = listener.accept()
            clients.append(client)  # kept open: the client must run into its time-out
            client.sendall(b"220 Hello\r\n")
            client.settimeout(0.5)
            try:
                data = client.recv(4096)
                for line in data.decode("latin-1").splitlines():
                    log.write(line + "\n")
            except socket.timeout:
                pass


def serve_ftp(arguments):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    log = open(arguments.log, "a", buffering=1)
    silent = arguments.silent_on.upper()

    class LoggingHandler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            log.write(line + "\n")
            if silent and cmd == silent:
                return
            return super().pre_process_command(line, cmd, arg)

        def on_disconnect(self):
            log.write("<closed>\n")

        def on_file_sent(self, file):
            if arguments.drop_after_send:
                self.close_when_done()

    authorizer = DummyAuthorizer()
    authorizer.add_user("zq", "zq", arguments.root, perm="elr")
    LoggingHandler.authorizer = authorizer
    if arguments.no_rest:
        LoggingHandler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k != "REST"}
    if arguments.banner_length:
        LoggingHandler.banner = "x" * arguments.banner_length

    server = FTPServer(("127.0.0.1", 0), LoggingHandler)
    announce(server.socket.getsockname()[1])
    server.serve_forever(handle_exit=False)


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


def serve_rogue(arguments):
    listener = listen()
    log = open(arguments.log, "a", buffering=1)
    for _ in range(100):
        control, _ = listener.accept()
        threading.Thread(target=serve, args=(Session(control, arguments, log),),
                         daemon=True).start()


def main():
    arguments = parse_arguments()
    logging.basicConfig(level=logging.CRITICAL)
    signal.alarm(arguments.lifetime)  # the safety net: SIGALRM ends the process
    if arguments.rogue:
        serve_rogue(arguments)
    elif arguments.greeting_only:
        serve_greeting_only(arguments.log)
    else:
        serve_ftp(arguments)


if __name__ == "__main__":
    main()

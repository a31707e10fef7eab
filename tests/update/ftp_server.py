#!/usr/bin/python3
"""A small FTP server on 127.0.0.1 for the update-check tests.

Serves a folder to user zq/zq on a free port, prints the port on the first line of stdout and
writes every command it receives to a log file, one per line. It ends by itself after
--lifetime seconds, so a test that dies cannot leave it running.

Modes:
  (default)        a normal server
  --no-rest        a server that does not understand REST
  --silent-on CMD  a server that never answers CMD
  --banner-length  a greeting line of that many characters
  --drop-after-send  a server that closes the control connection after each file it sent
  --greeting-only  a raw socket server that greets and then never answers anything
"""
import argparse
import logging
import signal
import socket
import sys


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
    return parser.parse_args()


def announce(port):
    sys.stdout.write("%d\n" % port)
    sys.stdout.flush()


def serve_greeting_only(log_path):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(5)
    announce(listener.getsockname()[1])
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


def main():
    arguments = parse_arguments()
    logging.basicConfig(level=logging.CRITICAL)
    signal.alarm(arguments.lifetime)  # the safety net: SIGALRM ends the process
    if arguments.greeting_only:
        serve_greeting_only(arguments.log)
    else:
        serve_ftp(arguments)


if __name__ == "__main__":
    main()

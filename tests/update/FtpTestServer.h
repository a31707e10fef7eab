#pragma once

// A real FTP server on 127.0.0.1 for the update tests: ftp_server.py beside this file, run with
// Debian's python3 and pyftpdlib, or with --rogue a raw-socket server that misbehaves on
// purpose. Header only, shared by the update and the GUI tests.

#include "support/TestFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace skarvel::test {

class FtpTestServer {
public:
    // arguments: extra options of the script ("--no-rest", "--greeting-only", ...).
    explicit FtpTestServer(std::vector<std::string> arguments = {}) {
        const std::string script =
            (std::filesystem::path(SKARVEL_TEST_DATA_DIR) / ".." / "update" / "ftp_server.py")
                .string();
        std::filesystem::create_directories(root());
        std::vector<std::string> words = {"/usr/bin/python3", script,  "--root",
                                          root().string(),    "--log", logPath().string(),
                                          "--lifetime",       "120"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);

        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        if (failed != 0) {
            ::close(pipeEnds[0]);
            throw std::runtime_error("cannot start " + script);
        }
        port_ = readPort(pipeEnds[0]);
        ::close(pipeEnds[0]);
        if (port_ <= 0) {
            stop();
            throw std::runtime_error("the FTP test server did not start");
        }
    }

    // The misbehaving server with its fault options ("--flood", "SYST", ...).
    static FtpTestServer rogue(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "--rogue");
        return FtpTestServer(std::move(arguments));
    }

    ~FtpTestServer() { stop(); }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    std::filesystem::path root() const { return folder_.path() / "root"; }
    int port() const { return port_; }
    std::string site() const { return "ftp://127.0.0.1:" + std::to_string(port_) + "/"; }

    void putFile(const std::string& name, const std::string& bytes) const {
        writeBytes(root() / name, bytes);
    }

    // Every command the server received, one per entry; "<closed>" marks a connection's end.
    std::vector<std::string> commands() const {
        return std::filesystem::exists(logPath()) ? splitLines(readBytes(logPath()))
                                                  : std::vector<std::string>{};
    }

    // Waits (bounded) until the server has seen count connections end, so that nothing the
    // client sent is still on its way.
    std::vector<std::string> commandsAfterClosedConnections(int count) const {
        for (int attempt = 0; attempt < 200; ++attempt) {
            const auto lines = commands();
            if (std::count(lines.begin(), lines.end(), "<closed>") >= count) {
                return lines;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return commands();
    }

    // A port on 127.0.0.1 where nobody listens.
    static int unusedPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        return ntohs(address.sin_port);
    }

private:
    std::filesystem::path logPath() const { return folder_.path() / "commands.log"; }

    static int readPort(int fd) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (line.find('\n') == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd waiting{fd, POLLIN, 0};
            if (::poll(&waiting, 1, 200) <= 0) {
                continue;
            }
            char buffer[64];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            line.append(buffer, static_cast<std::size_t>(got));
        }
        return std::atoi(line.c_str());
    }

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    TempDir folder_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace skarvel::test

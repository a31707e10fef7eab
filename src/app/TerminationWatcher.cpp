#include "app/TerminationWatcher.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace skarvel {

namespace {

// [0] is written by the handler, [1] read on the event loop.
int signalSockets[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalSockets[0], &byte, 1);
}

void handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

TerminationWatcher::TerminationWatcher(std::function<void()> onTermination)
    : onTermination_(std::move(onTermination)) {
    if (signalSockets[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalSockets[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalSockets[1], &byte, 1);
        terminate();
    });
    handle(SIGTERM, onSignal);
    handle(SIGHUP, onSignal);
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::commitDataRequest, this, [this] { terminate(); });
    }
}

TerminationWatcher::~TerminationWatcher() {
    handle(SIGTERM, SIG_DFL);
    handle(SIGHUP, SIG_DFL);
}

void TerminationWatcher::terminate() {
    if (done_) {
        return;
    }
    done_ = true;
    onTermination_();
    QCoreApplication::quit();
}

} // namespace skarvel

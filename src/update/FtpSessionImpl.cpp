#include "update/FtpSessionImpl.h"

#include "platform/LineEnds.h"

#include <algorithm>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace skarvel {

namespace {

void initialiseCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!initialised) {
        throw FtpError("The network library could not be initialised");
    }
}

long portOf(const sockaddr& address) {
    if (address.sa_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    }
    if (address.sa_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    }
    return -1;
}

std::string withSlash(std::string site) {
    if (site.empty() || site.back() != '/') {
        site += '/';
    }
    return site;
}

// libcurl's callbacks service the window as well: one call into libcurl can take long, for
// instance while a server floods it with reply lines. Half the promised 50 ms leaves room for
// the work between two calls.
constexpr auto ServiceInterval = std::chrono::milliseconds(25);

} // namespace

FtpSession::Impl::Impl(FtpSettings settingsIn, FtpEvents& eventsIn)
    : settings(std::move(settingsIn)), events(eventsIn), base(withSlash(settings.site)) {}

int FtpSession::Impl::onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
    auto& impl = *static_cast<Impl*>(self);
    const std::string_view text(data, size);
    try {
        switch (type) {
        case CURLINFO_TEXT:
            // libcurl cuts a reply line that does not fit its buffer and says so.
            if (text.find("Excessive server response line length") != std::string_view::npos) {
                impl.replyTooLong = true;
            }
            impl.events.IdFTP1Status(text);
            break;
        case CURLINFO_HEADER_IN: {
            const std::string_view line = firstLine(text);
            if (line.size() > impl.settings.longestReplyLine) {
                impl.replyTooLong = true;
            }
            // A final reply line has a blank after its three digits; "213-" goes on.
            if (impl.awaitingSizeReply && line.size() >= 4 && line[3] == ' ') {
                impl.awaitingSizeReply = false;
                impl.sizeReply = line;
            }
            impl.events.IdLogEvent1Received(text);
            break;
        }
        case CURLINFO_HEADER_OUT:
            if (text.substr(0, 5) == "SIZE ") {
                impl.awaitingSizeReply = true;
                impl.sizeReply.clear();
            }
            impl.events.IdLogEvent1Sent(text);
            break;
        default:
            break;
        }
    } catch (...) {
        impl.keepFailure();
    }
    impl.serviceIfDue();
    return 0;
}

size_t FtpSession::Impl::onWrite(char* data, size_t one, size_t count, void* self) {
    auto& impl = *static_cast<Impl*>(self);
    const std::size_t bytes = one * count;
    if (!impl.sink) {
        return bytes;
    }
    try {
        impl.sinkError = (*impl.sink)(std::string_view(data, bytes));
    } catch (...) {
        impl.keepFailure();
        return 0;
    }
    impl.serviceIfDue();
    return impl.sinkError.empty() && !impl.aborted && !impl.callbackFailure ? bytes : 0;
}

int FtpSession::Impl::onProgress(void* self, curl_off_t, curl_off_t now, curl_off_t, curl_off_t) {
    auto& impl = *static_cast<Impl*>(self);
    if (impl.reportProgress && now != impl.lastCount) {
        impl.lastCount = now;
        try {
            impl.events.IdFTP1Work(now);
        } catch (...) {
            impl.keepFailure();
        }
    }
    impl.serviceIfDue();
    return impl.aborted || impl.callbackFailure ? 1 : 0;
}

curl_socket_t FtpSession::Impl::onOpenSocket(void* self, curlsocktype, curl_sockaddr* address) {
    auto& impl = *static_cast<Impl*>(self);
    // Data connections go to the ports the server names; a socket to the control port outside
    // connect() would be libcurl quietly logging in again after the session was lost.
    const bool control = portOf(address->addr) == impl.controlPort;
    if (control && !impl.mayOpenControlConnection) {
        impl.reconnectRefused = true;
        return CURL_SOCKET_BAD;
    }
    const curl_socket_t socket =
        ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket != CURL_SOCKET_BAD) {
        impl.sockets.push_back(socket);
        if (control) {
            impl.controlSockets.push_back(socket);
        }
    }
    return socket;
}

int FtpSession::Impl::onCloseSocket(void* self, curl_socket_t socket) {
    auto& impl = *static_cast<Impl*>(self);
    for (auto* list : {&impl.controlSockets, &impl.sockets}) {
        list->erase(std::remove(list->begin(), list->end(), socket), list->end());
    }
    return ::close(socket);
}

void FtpSession::Impl::serviceIfDue() {
    if (std::chrono::steady_clock::now() - lastService >= ServiceInterval) {
        serviceNow();
    }
}

void FtpSession::Impl::serviceNow() {
    lastService = std::chrono::steady_clock::now();
    try {
        events.service();
    } catch (...) {
        keepFailure();
    }
}

void FtpSession::Impl::shutDownSockets() {
    // libcurl's next read or write on them fails, wherever it is just now; the sockets stay
    // open until libcurl closes them.
    for (const curl_socket_t socket : sockets) {
        ::shutdown(socket, SHUT_RDWR);
    }
}

// Keeps the first failure of a callback and stops the call.
void FtpSession::Impl::keepFailure() {
    if (!callbackFailure) {
        callbackFailure = std::current_exception();
    }
    shutDownSockets();
}

void FtpSession::Impl::setUp() {
    initialiseCurlOnce();
    easy.reset(curl_easy_init());
    multi.reset(curl_multi_init());
    if (!easy || !multi) {
        throw FtpError("The network library could not be initialised");
    }
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(e, CURLOPT_USERNAME, settings.user.c_str());
    curl_easy_setopt(e, CURLOPT_PASSWORD, settings.password.c_str());
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, settings.connectTimeoutMs);
    curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, settings.replyTimeoutSeconds);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, settings.lowSpeedBytesPerSecond);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, settings.lowSpeedSeconds);
    // libcurl cuts reply lines longer than half its buffer; twice the longest line we accept.
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, static_cast<long>(2 * settings.longestReplyLine));
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &Impl::onDebug);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Impl::onWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Impl::onProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &Impl::onOpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &Impl::onCloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, this);
}

void FtpSession::Impl::prepare(const std::string& url, bool nobody, CommandList quoteCommands,
                               CommandList prequoteCommands) {
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_NOBODY, nobody ? 1L : 0L);
    quote = std::move(quoteCommands);
    prequote = std::move(prequoteCommands);
    curl_easy_setopt(e, CURLOPT_QUOTE, quote.get());
    curl_easy_setopt(e, CURLOPT_PREQUOTE, prequote.get());
    curl_easy_setopt(e, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    // A transfer is not cut to the size libcurl asked for itself: the caller sees every byte
    // the server sends and judges the length against the size it was told.
    curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, nobody ? 0L : 1L);
    sink = nullptr;
    sinkError.clear();
    reportProgress = false;
    lastCount = -1;
    awaitingSizeReply = false;
    sizeReply.clear();
}

CURLcode FtpSession::Impl::perform() {
    if (busy) {
        throw FtpError("The FTP session is busy");
    }
    if (aborted) {
        throw FtpError("The update was aborted", FtpFailure::Aborted);
    }
    busy = true;
    errorText[0] = '\0';
    reconnectRefused = false;
    replyTooLong = false;
    callbackFailure = nullptr;
    lastService = std::chrono::steady_clock::now();

    CURLMcode status = curl_multi_add_handle(multi.get(), easy.get());
    int running = status == CURLM_OK ? 1 : 0;
    while (running && status == CURLM_OK && !aborted && !callbackFailure) {
        status = curl_multi_perform(multi.get(), &running);
        if (running && status == CURLM_OK) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                ServiceInterval - (std::chrono::steady_clock::now() - lastService));
            const int wait = static_cast<int>(std::max<std::int64_t>(0, left.count()));
            status = curl_multi_poll(multi.get(), nullptr, 0, wait, nullptr);
        }
        serviceNow();
    }
    CURLcode result = CURLE_OK;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) {
            result = message->data.result;
        }
    }
    // Taking out a running transfer ends it and closes its connection.
    curl_multi_remove_handle(multi.get(), easy.get());
    busy = false;
    try {
        events.exchangeEnded();
    } catch (...) {
        if (!callbackFailure) {
            callbackFailure = std::current_exception();
        }
    }

    if (aborted) {
        throw FtpError("The update was aborted", FtpFailure::Aborted);
    }
    if (callbackFailure) {
        std::rethrow_exception(callbackFailure);
    }
    if (status != CURLM_OK) {
        throw FtpError(curl_multi_strerror(status));
    }
    return result;
}

std::string FtpSession::Impl::failureText(CURLcode result) const {
    if (reconnectRefused) {
        return "The connection to the update site was lost";
    }
    if (!sinkError.empty()) {
        return sinkError;
    }
    if (errorText[0] != '\0') {
        return errorText;
    }
    return curl_easy_strerror(result);
}

FtpFailure FtpSession::Impl::failureKind(CURLcode result) const {
    if (result == CURLE_COULDNT_RESOLVE_HOST) {
        return FtpFailure::UnknownHost;
    }
    long osError = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_OS_ERRNO, &osError);
    // Other reasons not to connect (no route, network down) read like a time-out to the user.
    if (result == CURLE_COULDNT_CONNECT && osError == ECONNREFUSED) {
        return FtpFailure::Refused;
    }
    return FtpFailure::Other;
}

void FtpSession::Impl::check(CURLcode result) const {
    if (result != CURLE_OK) {
        throw FtpError(failureText(result), failureKind(result));
    }
    if (replyTooLong) {
        throw FtpError("A reply of the update site is longer than " +
                       std::to_string(settings.longestReplyLine) + " characters");
    }
}

void FtpSession::Impl::closeControlConnection() {
    // libcurl says "QUIT" when it closes a connection it still holds; with the socket shut
    // down first, that send fails and nothing reaches the server.
    for (const curl_socket_t socket : controlSockets) {
        ::shutdown(socket, SHUT_RDWR);
    }
    MultiHandle fresh(curl_multi_init());
    if (!fresh) {
        throw FtpError("The network library could not be initialised");
    }
    multi = std::move(fresh); // the old multi handle closes its cached connection
    controlSockets.clear();
    sockets.clear();
}

} // namespace skarvel

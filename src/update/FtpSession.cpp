#include "update/FtpSession.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <curl/curl.h>
#include <exception>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace skarvel {

namespace {

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using CommandList = std::unique_ptr<curl_slist, ListDeleter>;

CommandList commands(std::initializer_list<const char*> lines) {
    curl_slist* list = nullptr;
    for (const char* line : lines) {
        list = curl_slist_append(list, line);
    }
    return CommandList(list);
}

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

// The port of "ftp://host:port/", 21 when none is given; -1 for an address libcurl rejects.
long sitePort(const std::string& site) {
    CURLU* url = curl_url();
    long port = -1;
    char* text = nullptr;
    if (url && curl_url_set(url, CURLUPART_URL, site.c_str(), 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_PORT, &text, CURLU_DEFAULT_PORT) == CURLUE_OK) {
        port = std::strtol(text, nullptr, 10);
    }
    curl_free(text);
    curl_url_cleanup(url);
    return port;
}

std::string withSlash(std::string site) {
    if (site.empty() || site.back() != '/') {
        site += '/';
    }
    return site;
}

} // namespace

struct FtpSession::Impl {
    Impl(FtpSettings settingsIn, FtpEvents& eventsIn)
        : settings(std::move(settingsIn)), events(eventsIn), base(withSlash(settings.site)) {}

    FtpSettings settings;
    FtpEvents& events;
    std::string base;
    long controlPort = -1;
    EasyHandle easy;
    MultiHandle multi;
    char errorText[CURL_ERROR_SIZE] = {};

    // Open sockets of the control connection (libcurl may try more than one address).
    std::vector<curl_socket_t> controlSockets;
    bool mayOpenControlConnection = false;
    bool reconnectRefused = false;
    bool replyTooLong = false;
    bool busy = false;

    // Commands sent after the log-in (quote) and just before a transfer (prequote); owned
    // here so that libcurl never points at a freed list.
    CommandList quote;
    CommandList prequote;

    const FtpSink* sink = nullptr;
    std::string sinkError;
    bool reportProgress = false;
    curl_off_t lastCount = -1;
    std::exception_ptr callbackFailure;

    void setUp();
    void prepare(const std::string& url, bool nobody, CommandList quoteCommands = {},
                 CommandList prequoteCommands = {});
    CURLcode perform();
    std::string failureText(CURLcode result) const;
    void check(CURLcode result) const;
    void closeControlConnection();

    static int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self);
    static size_t onWrite(char* data, size_t one, size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t now, curl_off_t, curl_off_t);
    static curl_socket_t onOpenSocket(void* self, curlsocktype, curl_sockaddr* address);
    static int onCloseSocket(void* self, curl_socket_t socket);
};

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
        case CURLINFO_HEADER_IN:
            if (text.substr(0, text.find_first_of("\r\n")).size() >
                impl.settings.longestReplyLine) {
                impl.replyTooLong = true;
            }
            impl.events.IdLogEvent1Received(text);
            break;
        case CURLINFO_HEADER_OUT:
            impl.events.IdLogEvent1Sent(text);
            break;
        default:
            break;
        }
    } catch (...) {
        if (!impl.callbackFailure) {
            impl.callbackFailure = std::current_exception();
        }
    }
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
        impl.callbackFailure = std::current_exception();
        return 0;
    }
    return impl.sinkError.empty() ? bytes : 0;
}

int FtpSession::Impl::onProgress(void* self, curl_off_t, curl_off_t now, curl_off_t, curl_off_t) {
    auto& impl = *static_cast<Impl*>(self);
    if (!impl.reportProgress || now == impl.lastCount) {
        return 0;
    }
    impl.lastCount = now;
    try {
        impl.events.IdFTP1Work(now);
    } catch (...) {
        impl.callbackFailure = std::current_exception();
        return 1;
    }
    return 0;
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
    if (socket != CURL_SOCKET_BAD && control) {
        impl.controlSockets.push_back(socket);
    }
    return socket;
}

int FtpSession::Impl::onCloseSocket(void* self, curl_socket_t socket) {
    auto& sockets = static_cast<Impl*>(self)->controlSockets;
    sockets.erase(std::remove(sockets.begin(), sockets.end(), socket), sockets.end());
    return ::close(socket);
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
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, settings.stalledDataSeconds);
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
    sink = nullptr;
    sinkError.clear();
    reportProgress = false;
    lastCount = -1;
}

CURLcode FtpSession::Impl::perform() {
    if (busy) {
        throw FtpError("The FTP session is busy");
    }
    busy = true;
    errorText[0] = '\0';
    reconnectRefused = false;
    replyTooLong = false;
    callbackFailure = nullptr;

    CURLMcode status = curl_multi_add_handle(multi.get(), easy.get());
    int running = status == CURLM_OK ? 1 : 0;
    std::exception_ptr serviceFailure;
    while (running && status == CURLM_OK) {
        status = curl_multi_perform(multi.get(), &running);
        if (running && status == CURLM_OK) {
            status = curl_multi_poll(multi.get(), nullptr, 0, 50, nullptr);
        }
        try {
            events.service();
        } catch (...) {
            serviceFailure = std::current_exception();
            break;
        }
    }
    CURLcode result = CURLE_OK;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) {
            result = message->data.result;
        }
    }
    curl_multi_remove_handle(multi.get(), easy.get());
    busy = false;

    if (serviceFailure) {
        std::rethrow_exception(serviceFailure);
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

void FtpSession::Impl::check(CURLcode result) const {
    if (result != CURLE_OK) {
        throw FtpError(failureText(result));
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
}

FtpSession::FtpSession(FtpSettings settings, FtpEvents& events)
    : impl_(std::make_unique<Impl>(std::move(settings), events)) {
    impl_->setUp();
}

FtpSession::~FtpSession() {
    try {
        impl_->closeControlConnection();
    } catch (...) {
        // Nothing sensible is left to do while the session goes away.
    }
}

void FtpSession::connect() {
    Impl& impl = *impl_;
    impl.controlPort = sitePort(impl.base);
    // libcurl logs in and asks for the working folder (PWD) itself; SYST may be refused.
    impl.prepare(impl.base, true, commands({"TYPE I", "*SYST"}));
    impl.mayOpenControlConnection = true;
    CURLcode result = CURLE_OK;
    try {
        result = impl.perform();
    } catch (...) {
        impl.mayOpenControlConnection = false;
        disconnect();
        throw;
    }
    impl.mayOpenControlConnection = false;

    long systReply = 0;
    curl_easy_getinfo(impl.easy.get(), CURLINFO_RESPONSE_CODE, &systReply);
    std::string failure;
    if (result != CURLE_OK || impl.replyTooLong) {
        try {
            impl.check(result);
        } catch (const FtpError& error) {
            failure = error.what();
        }
    } else if (systReply != 200 && systReply != 215 && systReply != 500) {
        failure = "SYST response: " + std::to_string(systReply);
    } else if (impl.controlSockets.empty()) {
        failure = "The update site closed the connection";
    }
    if (!failure.empty()) {
        disconnect();
        throw FtpError(failure);
    }
}

bool FtpSession::connected() const {
    for (const curl_socket_t socket : impl_->controlSockets) {
        char byte = 0;
        const ssize_t got = ::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (got > 0 || (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) {
            return true;
        }
    }
    return false;
}

void FtpSession::quit() {
    Impl& impl = *impl_;
    if (connected() && !impl.busy) {
        impl.prepare(impl.base, true, commands({"QUIT"}));
        try {
            impl.perform();
        } catch (...) {
            // Leaving is all that is wanted; a failed goodbye changes nothing.
        }
    }
    disconnect();
}

void FtpSession::disconnect() {
    if (!impl_->busy) {
        impl_->closeControlConnection();
    }
}

std::int64_t FtpSession::size(const std::string& remoteName) {
    Impl& impl = *impl_;
    impl.prepare(impl.base + remoteName, true);
    impl.check(impl.perform());
    curl_off_t length = -1;
    curl_easy_getinfo(impl.easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    return length;
}

void FtpSession::retrieve(const std::string& remoteName, std::int64_t resumeAt,
                          const FtpSink& sink) {
    Impl& impl = *impl_;
    // Sent just before the transfer: can the server resume at all?
    impl.prepare(impl.base + remoteName, false, {},
                 resumeAt > 0 ? commands({"REST 1", "REST 0"}) : CommandList());
    if (resumeAt > 0) {
        curl_easy_setopt(impl.easy.get(), CURLOPT_RESUME_FROM_LARGE,
                         static_cast<curl_off_t>(resumeAt));
    }
    impl.sink = &sink;
    impl.reportProgress = true;

    struct WorkScope {
        FtpEvents& events;
        explicit WorkScope(FtpEvents& e) : events(e) { events.IdFTP1WorkBegin(0); }
        ~WorkScope() { events.IdFTP1WorkEnd(); }
    };
    CURLcode result = CURLE_OK;
    {
        WorkScope work(impl.events);
        result = impl.perform();
    }
    impl.sink = nullptr;
    impl.reportProgress = false;

    if (resumeAt > 0 && !impl.reconnectRefused &&
        (result == CURLE_QUOTE_ERROR || result == CURLE_FTP_COULDNT_USE_REST)) {
        throw FtpError("Destination file already exists.");
    }
    impl.check(result);
}

std::string siteWithLogin(const std::string& site, const std::string& user,
                          const std::string& password) {
    const std::string scheme = "://";
    const auto start = site.find(scheme);
    if (start == std::string::npos) {
        return site;
    }
    const auto hostStart = start + scheme.size();
    if (site.find('@', hostStart) < site.find('/', hostStart)) {
        return site; // carries a login already
    }
    return site.substr(0, hostStart) + user + ":" + password + "@" + site.substr(hostStart);
}

} // namespace skarvel

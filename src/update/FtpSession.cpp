#include "update/FtpSession.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <curl/curl.h>
#include <exception>
#include <netinet/in.h>
#include <optional>
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

// The first line of a chunk without its line end.
std::string_view firstLine(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

// "213 <digits>", the only answer to SIZE that gives a size; -1 for anything else.
std::int64_t parseSizeReply(std::string_view reply) {
    const std::string_view prefix = "213 ";
    if (reply.substr(0, prefix.size()) != prefix) {
        return -1;
    }
    const std::string_view digits = reply.substr(prefix.size());
    if (digits.empty() || digits.size() > 18 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return -1;
    }
    return std::stoll(std::string(digits));
}

// libcurl's callbacks service the window as well: one call into libcurl can take long, for
// instance while a server floods it with reply lines. Half the promised 50 ms leaves room for
// the work between two calls.
constexpr auto ServiceInterval = std::chrono::milliseconds(25);

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

    // Open sockets of the control connection (libcurl may try more than one address), and
    // all open sockets, control and data.
    std::vector<curl_socket_t> controlSockets;
    std::vector<curl_socket_t> sockets;
    bool mayOpenControlConnection = false;
    bool reconnectRefused = false;
    bool replyTooLong = false;
    bool busy = false;
    bool aborted = false;
    std::chrono::steady_clock::time_point lastService;

    // The final reply to the last "SIZE" sent.
    bool awaitingSizeReply = false;
    std::string sizeReply;

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
    FtpFailure failureKind(CURLcode result) const;
    void check(CURLcode result) const;
    void closeControlConnection();
    void serviceIfDue();
    void serviceNow();
    void shutDownSockets();
    void keepFailure();

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
    impl.aborted = false;
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
    std::optional<FtpError> failure;
    if (result != CURLE_OK || impl.replyTooLong) {
        try {
            impl.check(result);
        } catch (const FtpError& error) {
            failure = error;
        }
    } else if (systReply != 200 && systReply != 215 && systReply != 500) {
        failure = FtpError("SYST response: " + std::to_string(systReply));
    } else if (impl.controlSockets.empty()) {
        failure = FtpError("The update site closed the connection");
    }
    if (failure) {
        disconnect();
        throw *failure;
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

void FtpSession::abort() {
    impl_->aborted = true;
    impl_->shutDownSockets();
}

std::int64_t FtpSession::size(const std::string& remoteName) {
    Impl& impl = *impl_;
    impl.prepare(impl.base + remoteName, true);
    impl.check(impl.perform());
    // libcurl reads "213 12abc" as 12; the reply itself is judged here.
    return parseSizeReply(impl.sizeReply);
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

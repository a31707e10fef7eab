#include "update/FtpSession.h"

#include "update/FtpSessionImpl.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <sys/socket.h>

namespace skarvel {

namespace {

CommandList commands(std::initializer_list<const char*> lines) {
    curl_slist* list = nullptr;
    for (const char* line : lines) {
        list = curl_slist_append(list, line);
    }
    return CommandList(list);
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

} // namespace

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
    // Sent just before the transfer: can the server resume at all? Then the offset itself:
    // libcurl's own resume would need its SIZE, which it does not ask for (see prepare).
    const std::string offset = "REST " + std::to_string(resumeAt);
    impl.prepare(impl.base + remoteName, false, {},
                 resumeAt > 0 ? commands({"REST 1", "REST 0", offset.c_str()}) : CommandList());
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

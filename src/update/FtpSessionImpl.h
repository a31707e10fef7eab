#pragma once

// The libcurl side of an FtpSession, shared by FtpSession.cpp (the session's operations) and
// FtpSessionImpl.cpp (libcurl's set-up, its callbacks and the loop that drives a call).
#include "update/FtpSession.h"

#include <chrono>
#include <curl/curl.h>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace skarvel {

namespace ftp_detail {

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

} // namespace ftp_detail

using ftp_detail::CommandList;
using ftp_detail::EasyHandle;
using ftp_detail::MultiHandle;

struct FtpSession::Impl {
    Impl(FtpSettings settingsIn, FtpEvents& eventsIn);

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

} // namespace skarvel

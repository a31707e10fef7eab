#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skarvel {

// Which kind of failure an FtpError is, where the caller tells the user more than "it failed".
enum class FtpFailure { Other, Refused, UnknownHost, Aborted };

// A failed FTP operation; what() says what went wrong.
class FtpError : public std::runtime_error {
public:
    explicit FtpError(const std::string& text, FtpFailure kind = FtpFailure::Other)
        : std::runtime_error(text), kind_(kind) {}
    FtpFailure kind() const { return kind_; }

private:
    FtpFailure kind_;
};

// What the FTP client reports while it works. The update dialog's handlers carry these names.
class FtpEvents {
public:
    virtual ~FtpEvents() = default;
    // A status text of the client (libcurl's informational texts).
    virtual void IdFTP1Status(std::string_view text) = 0;
    // Every chunk sent and received on the control connection.
    virtual void IdLogEvent1Sent(std::string_view text) = 0;
    virtual void IdLogEvent1Received(std::string_view text) = 0;
    // A fetch begins (announcedTotal is 0: the data is read until the server closes the data
    // connection), has count bytes, ends.
    virtual void IdFTP1WorkBegin(std::int64_t announcedTotal) = 0;
    virtual void IdFTP1Work(std::int64_t count) = 0;
    virtual void IdFTP1WorkEnd() = 0;
    // A call to the server has returned, however it ended.
    virtual void exchangeEnded() = 0;
    // Called at least every 50 ms while a network call waits, so that the window stays alive.
    virtual void service() = 0;
};

struct FtpSettings {
    std::string site; // "ftp://host:port/"
    std::string user = "zq";
    std::string password = "zq";
    long connectTimeoutMs = 10000;
    long replyTimeoutSeconds = 2; // every reply on the control connection
    // A transfer slower than this on average over lowSpeedSeconds fails.
    long lowSpeedBytesPerSecond = 1024;
    long lowSpeedSeconds = 30;
    std::size_t longestReplyLine = 16384;
};

// Receives the bytes of a fetched file; returns an error text to stop the transfer.
using FtpSink = std::function<std::string(std::string_view bytes)>;

// One FTP session on one control connection, in passive mode with binary transfers.
// Every call blocks while calling FtpEvents::service. A control connection that is lost after
// the log-in is not silently made again: the next operation fails instead.
class FtpSession {
public:
    FtpSession(FtpSettings settings, FtpEvents& events);
    // Ends a connection that is still up without "QUIT", as a dropped session would.
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Connects, logs in, then sends "TYPE I" and "SYST". Leaves no half-open connection
    // behind when it fails. A refused connection or an unknown host says so in its kind.
    void connect();
    // True while the control connection is open and the server has not closed it.
    bool connected() const;
    // Sends "QUIT" when connected, then disconnects. Never fails.
    void quit();
    // Closes the control connection without sending anything.
    void disconnect();
    // Called while a call runs (from FtpEvents::service): the call stops at once and fails
    // with FtpFailure::Aborted, and so does every later call until the next connect().
    void abort();

    // The size the server gives for the remote file ("SIZE"), or -1 when its reply is not
    // "213 " followed by a whole number of bytes.
    std::int64_t size(const std::string& remoteName);
    // Fetches the remote file into sink. With resumeAt > 0 the server must be able to resume
    // ("REST 1" / "REST 0" probe) and the transfer starts at that byte ("REST <n>").
    void retrieve(const std::string& remoteName, std::int64_t resumeAt, const FtpSink& sink);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The site's address with the user name and password in it, as a user would type it into an
// FTP program: "ftp://zq:zq@host:port/".
std::string siteWithLogin(const std::string& site, const std::string& user,
                          const std::string& password);

} // namespace skarvel

// One HTTP or HTTPS GET into a local file, with libcurl and no toolkit: the
// answer replaces the file only when it is complete, otherwise the file stays
// as it was and the caller learns why in plain words.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// When a transfer gives up. The defaults are the product's; tests shorten them.
struct FetchLimits {
    long connect_timeout_ms = 5000;
    // A server that sends no byte for low_speed_seconds (also one that
    // accepts and then says nothing), or a transfer slower than
    // low_speed_bytes per second for about that long, has stalled (0 seconds:
    // never).
    long low_speed_bytes = 1;
    long low_speed_seconds = 30;
    long max_redirects = 8;
    // The most body bytes (after decoding) kept: far above any list, and a
    // server that sends without end stops here instead of filling the disk.
    // A caller that expects a small answer asks for less (0: no limit).
    std::int64_t max_bytes = std::int64_t(64) << 20;
    // The whole transfer, from the first connection to the last byte, ends
    // after this long however steadily bytes trickle in (0: never).
    long deadline_seconds = 600;
};

struct FetchOptions {
    FetchLimits limits;
    // A PEM file of the certificate authorities to trust instead of the
    // system's; empty: the system's. Certificates are verified either way.
    std::string ca_file;
    // Called with the complete body, in a file at the given path, before it
    // replaces the target; a non-empty answer is the reason it does not.
    std::function<std::string(const std::string& body_path)> check_body;
};

struct FetchResult {
    bool ok = false;
    // Why not, for the user ("HTTP 404", "could not connect", "timed out",
    // "certificate problem", ...); empty when ok.
    std::string reason;
};

namespace fetch_detail {
class Transfer;
}

// Shared between the thread that fetches and another that watches the bytes
// arrive or cancels. One per transfer.
class FetchControl {
public:
    FetchControl() = default;
    FetchControl(const FetchControl&) = delete;
    FetchControl& operator=(const FetchControl&) = delete;

    // From any thread: the transfer stops soon (not after its next time-out)
    // and writes nothing.
    void cancel();
    bool cancelled() const { return cancelled_; }

    // Body bytes received so far, and the length the server announced (0 if
    // it announced none).
    std::int64_t received() const { return received_; }
    std::int64_t announced() const { return announced_; }

private:
    friend class fetch_detail::Transfer;

    std::atomic<bool> cancelled_{false};
    std::atomic<std::int64_t> received_{0};
    std::atomic<std::int64_t> announced_{0};
    std::mutex mutex_;
    void* waiting_ = nullptr; // the transfer's multi handle while it runs
};

// GETs url (which must begin with http:// or https://, in any case) with the
// headers "Accept: text/*", "Accept-Encoding: gzip" (decoded here) and
// "User-Agent: Mozilla", following redirects but never from https:// to
// http://, through the proxy the environment names as curl's own tools take
// it (http_proxy, https_proxy or HTTPS_PROXY, all_proxy or ALL_PROXY,
// no_proxy or NO_PROXY; never HTTP_PROXY). Only a 200 answer with a
// non-empty body, in no encoding but gzip, within the limits and passing
// check_body counts: it goes to a temporary file beside path, which replaces
// path by one rename once complete and flushed. On failure no file is left
// behind and path is untouched. Temporary files that an earlier, killed
// transfer left beside path are removed first. Blocks; safe to call from
// any thread.
FetchResult fetch_url(const std::string& url, const std::string& path,
                      const FetchOptions& options = FetchOptions(),
                      FetchControl* control = nullptr);

// "16 MiB", "1000 bytes": a size limit as a reason says it.
std::string size_text(std::int64_t bytes);

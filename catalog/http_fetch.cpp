#include "catalog/http_fetch.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <curl/curl.h>

#include "nbody/atomic_write.h"

void FetchControl::cancel() {
    cancelled_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    if (waiting_)
        curl_multi_wakeup(static_cast<CURLM*>(waiting_));
}

namespace {

bool has_web_scheme(const std::string& url) {
    auto starts_with = [&url](const std::string& prefix) {
        if (url.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(url[i])) != prefix[i])
                return false;
        return true;
    };
    return starts_with("http://") || starts_with("https://");
}

// libcurl wants its global set-up done once, before any transfer and not
// while another thread runs one.
bool curl_ready() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

std::string reason_for(CURLcode code) {
    switch (code) {
    case CURLE_URL_MALFORMAT:
        return "malformed address";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "unknown host";
    case CURLE_COULDNT_CONNECT:
        return "could not connect";
    case CURLE_OPERATION_TIMEDOUT:
        return "timed out";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return "certificate problem";
    case CURLE_SSL_CONNECT_ERROR:
        return "secure connection failed";
    case CURLE_PARTIAL_FILE:
        return "transfer cut short";
    case CURLE_GOT_NOTHING:
        return "no answer from the server";
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return "connection broken";
    case CURLE_TOO_MANY_REDIRECTS:
        return "too many redirects";
    case CURLE_WEIRD_SERVER_REPLY:
        return "not an HTTP answer";
    default:
        return curl_easy_strerror(code);
    }
}

} // namespace

namespace fetch_detail {

// One GET through libcurl's multi interface, so that a cancel from another
// thread can wake the wait at once.
class Transfer {
public:
    Transfer(const std::string& path, const FetchLimits& limits, FetchControl* control)
        : file_(path), control_(control),
          idle_limit_(std::chrono::seconds(limits.low_speed_seconds)) {
        if (control_) {
            control_->received_ = 0;
            control_->announced_ = 0;
        }
    }

    FetchResult run(CURL* easy) {
        easy_ = easy;
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::on_body);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::on_header);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        if (!file_.ok())
            return fail("could not write the file");
        return save_stream();
    }

private:
    static FetchResult fail(const std::string& reason) { return FetchResult{false, reason}; }

    // Runs the transfer, the body going to the pending file, and decides.
    FetchResult save_stream() {
        const CURLcode code = perform();
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        if (cancelled())
            return fail("cancelled");
        if (write_failed_)
            return fail("could not write the file");
        if (refused_status_ || (code == CURLE_OK && (status < 200 || status > 299)))
            return fail("HTTP " + std::to_string(status));
        // A redirect elsewhere than http:// or https://, or an answer from
        // before HTTP/1.0.
        if (code == CURLE_UNSUPPORTED_PROTOCOL)
            return fail(status >= 300 && status <= 399 ? "not an http:// or https:// address"
                                                       : "not an HTTP answer");
        if (code != CURLE_OK)
            return fail(reason_for(code));
        if (received_ == 0)
            return fail("empty answer");
        if (!file_.commit())
            return fail("could not write the file");
        return FetchResult{true, ""};
    }

    CURLcode perform() {
        std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(),
                                                                    &curl_multi_cleanup);
        if (!multi || curl_multi_add_handle(multi.get(), easy_) != CURLM_OK)
            return CURLE_OUT_OF_MEMORY;
        attach(multi.get());
        CURLcode result = CURLE_RECV_ERROR;
        int running = 1;
        last_byte_ = Clock::now();
        while (!cancelled()) {
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
                break;
            if (!running) {
                int left = 0;
                while (CURLMsg* message = curl_multi_info_read(multi.get(), &left))
                    if (message->msg == CURLMSG_DONE)
                        result = message->data.result;
                break;
            }
            // libcurl's own low-speed check averages over several seconds, so
            // that a stall after a burst of bytes would take that much longer.
            int wait_ms = 1000;
            if (idle_limit_ > Clock::duration::zero()) {
                const auto idle = Clock::now() - last_byte_;
                if (idle >= idle_limit_) {
                    result = CURLE_OPERATION_TIMEDOUT;
                    break;
                }
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(idle_limit_ - idle);
                wait_ms = static_cast<int>(std::min<long long>(left.count() + 1, wait_ms));
            }
            if (curl_multi_poll(multi.get(), nullptr, 0, wait_ms, nullptr) != CURLM_OK)
                break;
        }
        attach(nullptr);
        curl_multi_remove_handle(multi.get(), easy_);
        return result;
    }

    void attach(CURLM* multi) {
        if (!control_)
            return;
        std::lock_guard<std::mutex> lock(control_->mutex_);
        control_->waiting_ = multi;
    }

    bool cancelled() const { return control_ && control_->cancelled(); }

    static size_t on_header(char*, size_t size, size_t count, void* self) {
        static_cast<Transfer*>(self)->last_byte_ = Clock::now();
        return size * count;
    }

    static size_t on_body(char* data, size_t size, size_t count, void* self) {
        return static_cast<Transfer*>(self)->take(data, size * count) ? size * count : 0;
    }

    // Only the body of a 2xx answer is kept; anything else stops the
    // transfer at its first byte.
    bool take(const char* data, std::size_t size) {
        if (cancelled())
            return false;
        if (received_ == 0) {
            long status = 0;
            curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
            if (status < 200 || status > 299) {
                refused_status_ = true;
                return false;
            }
            curl_off_t length = -1;
            curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            if (control_ && length > 0)
                control_->announced_ = length;
        }
        last_byte_ = Clock::now();
        if (!file_.write(data, size)) {
            write_failed_ = true;
            return false;
        }
        received_ += static_cast<std::int64_t>(size);
        if (control_)
            control_->received_ = received_;
        return true;
    }

    using Clock = std::chrono::steady_clock;

    // The body goes here and replaces the local file only when all is well.
    AtomicFile file_;
    FetchControl* control_;
    // A server that sends no byte for this long has stalled; zero: no limit.
    Clock::duration idle_limit_;
    Clock::time_point last_byte_;
    CURL* easy_ = nullptr;
    std::int64_t received_ = 0;
    bool refused_status_ = false;
    bool write_failed_ = false;
};

} // namespace fetch_detail

FetchResult fetch_url(const std::string& url, const std::string& path, const FetchOptions& options,
                      FetchControl* control) {
    // Checked here: libcurl would guess a scheme for a bare host name.
    if (!has_web_scheme(url))
        return FetchResult{false, "not an http:// or https:// address"};
    if (!curl_ready())
        return FetchResult{false, "no network library"};

    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), &curl_easy_cleanup);
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(nullptr, "Accept: text/*"), &curl_slist_free_all);
    if (!easy || !headers)
        return FetchResult{false, "out of memory"};

    CURL* e = easy.get();
    const FetchLimits& limits = options.limits;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, limits.max_redirects);
    // The server has refused clients without a browser-like agent.
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Mozilla");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, limits.low_speed_bytes);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, limits.low_speed_seconds);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.ca_file.empty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO, options.ca_file.c_str());
        curl_easy_setopt(e, CURLOPT_CAPATH, nullptr);
    }
    // The program reads no environment: no proxy from http_proxy and friends.
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    // Time-outs without SIGALRM, which would hit whatever thread runs.
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);

    fetch_detail::Transfer transfer(path, limits, control);
    return transfer.run(e);
}

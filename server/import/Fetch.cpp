#include "import/Fetch.h"

#include <curl/curl.h>

namespace qserver::import {

namespace {
struct Sink {
    std::string *body;
    std::size_t cap;
    bool tooBig = false;
};

std::size_t write(char *data, std::size_t size, std::size_t n, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const std::size_t len = size * n;
    if (sink->body->size() + len > sink->cap) {
        sink->tooBig = true;
        return 0;  // libcurl ends the transfer
    }
    sink->body->append(data, len);
    return len;
}
int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *cancel = static_cast<const std::atomic<bool> *>(user);
    return cancel && *cancel ? 1 : 0;
}
}  // namespace

void initFetch()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

FetchResult fetch(const std::string &url, const FetchLimits &limits)
{
    FetchResult r;
    CURL *curl = curl_easy_init();
    if (!curl) {
        r.error = "kan geen verbinding opzetten (libcurl)";
        return r;
    }
    Sink sink{&r.body, limits.maxBytes};
    char errorText[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, long(limits.maxRedirects));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(limits.timeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(limits.connectTimeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // threads: no SIGALRM for time-outs
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "quillon-server");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    if (limits.cancel) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, limits.cancel);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    const std::string cap = std::to_string(limits.maxBytes);
    if (sink.tooBig || rc == CURLE_FILESIZE_EXCEEDED) {
        r.error = "te groot (meer dan " + cap + " bytes)";
    } else if (rc == CURLE_ABORTED_BY_CALLBACK) {
        r.error = "afgebroken: de server stopt";
    } else if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
        r.error = "alleen http en https worden opgehaald";
    } else if (rc == CURLE_TOO_MANY_REDIRECTS) {
        r.error = "te veel doorverwijzingen (meer dan " + std::to_string(limits.maxRedirects) + ")";
    } else if (rc == CURLE_OPERATION_TIMEDOUT) {
        r.error = "geen antwoord binnen " + std::to_string(limits.timeoutSeconds) + " s";
    } else if (rc != CURLE_OK) {
        r.error = std::string("niet bereikbaar (") + (errorText[0] ? errorText : curl_easy_strerror(rc)) + ")";
    } else if (status >= 400) {
        r.error = "de webserver antwoordt HTTP " + std::to_string(status);
    } else {
        r.ok = true;
        return r;
    }
    r.body.clear();
    return r;
}

}  // namespace qserver::import

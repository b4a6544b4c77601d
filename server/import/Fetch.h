#pragma once
// Fetching a feed over HTTP(S) with libcurl, within bounds: only http and
// https (also after redirects), a bounded number of redirects, a time limit
// for connecting and for the whole transfer, and a size cap that holds for
// the decompressed body too (a gzip bomb stops at the cap). Blocking: run
// it on a worker thread, never on the event loop.

#include <atomic>
#include <cstddef>
#include <string>

namespace qserver::import {

struct FetchLimits {
    int timeoutSeconds = 30;  // whole transfer
    int connectTimeoutSeconds = 10;
    int maxRedirects = 5;
    std::size_t maxBytes = 10 * 1024 * 1024;
    const std::atomic<bool> *cancel = nullptr;  // set: the transfer ends early (shutdown)
};

struct FetchResult {
    bool ok = false;
    std::string body;
    std::string error;  // Dutch, for the job log
};

// Call once from the main thread before any fetch.
void initFetch();

FetchResult fetch(const std::string &url, const FetchLimits &limits);

}  // namespace qserver::import

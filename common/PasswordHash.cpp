#include "common/PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {

namespace {

const std::string Prefix = "$scrypt$";
constexpr std::size_t SaltBytes = 16;
constexpr std::size_t HashBytes = 32;
// Bounds on parameters read back: 256 MiB and 16 lanes at most.
constexpr std::uint64_t MaxMemory = 256ull * 1024 * 1024;
constexpr int MaxLogN = 20;
constexpr int MaxR = 32;
constexpr int MaxP = 16;

using Bytes = std::vector<unsigned char>;

std::string toHex(const Bytes &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::optional<Bytes> fromHex(const std::string &text)
{
    if (text.empty() || text.size() % 2)
        return std::nullopt;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    Bytes out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = nibble(text[i]), lo = nibble(text[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<unsigned char>(hi * 16 + lo));
    }
    return out;
}

std::uint64_t memoryOf(const ScryptParams &p)
{
    // What OpenSSL allocates: 128 r (N + 2) for V plus 128 r p for B.
    const std::uint64_t n = std::uint64_t(1) << p.logN;
    return 128ull * std::uint64_t(p.r) * (n + 2) + 128ull * std::uint64_t(p.r) * std::uint64_t(p.p);
}

bool withinBounds(const ScryptParams &p)
{
    return p.logN >= 1 && p.logN <= MaxLogN && p.r >= 1 && p.r <= MaxR && p.p >= 1 && p.p <= MaxP &&
           memoryOf(p) <= MaxMemory;
}

std::optional<Bytes> derive(const std::string &password, const Bytes &salt, const ScryptParams &p, std::size_t length)
{
    Bytes key(length);
    const int ok =
        EVP_PBE_scrypt(password.data(), password.size(), salt.data(), salt.size(), std::uint64_t(1) << p.logN,
                       std::uint64_t(p.r), std::uint64_t(p.p), memoryOf(p) + 1024 * 1024, key.data(), key.size());
    if (ok != 1)
        return std::nullopt;
    return key;
}

// A small decimal number of at most three digits, or -1.
int smallNumber(const std::string &text)
{
    if (text.empty() || text.size() > 3)
        return -1;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

struct Parsed {
    ScryptParams params;
    Bytes salt;
    Bytes hash;
};

// "ln=15,r=8,p=1$<salt>$<hash>" after the prefix.
std::optional<Parsed> parse(const std::string &stored)
{
    if (stored.compare(0, Prefix.size(), Prefix) != 0)
        return std::nullopt;
    const std::string rest = stored.substr(Prefix.size());
    const auto d1 = rest.find('$');
    const auto d2 = d1 == std::string::npos ? d1 : rest.find('$', d1 + 1);
    if (d2 == std::string::npos || rest.find('$', d2 + 1) != std::string::npos)
        return std::nullopt;
    Parsed out;
    const std::string params = rest.substr(0, d1);
    int *fields[] = {&out.params.logN, &out.params.r, &out.params.p};
    const char *names[] = {"ln=", "r=", "p="};
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string name = names[i];
        if (params.compare(at, name.size(), name) != 0)
            return std::nullopt;
        at += name.size();
        auto end = params.find(',', at);
        if ((end == std::string::npos) != (i == 2))
            return std::nullopt;
        if (end == std::string::npos)
            end = params.size();
        *fields[i] = smallNumber(params.substr(at, end - at));
        at = end + 1;
    }
    auto salt = fromHex(rest.substr(d1 + 1, d2 - d1 - 1));
    auto hash = fromHex(rest.substr(d2 + 1));
    if (!salt || !hash || salt->size() < 8 || hash->size() != HashBytes || !withinBounds(out.params))
        return std::nullopt;
    out.salt = std::move(*salt);
    out.hash = std::move(*hash);
    return out;
}

bool weaker(const ScryptParams &stored, const ScryptParams &current)
{
    return stored.logN < current.logN || stored.r < current.r || stored.p < current.p;
}

}  // namespace

std::string HashPassword(const std::string &password, const ScryptParams &params)
{
    if (!withinBounds(params))
        return {};
    Bytes salt(SaltBytes);
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1)
        return {};
    const auto hash = derive(password, salt, params, HashBytes);
    if (!hash)
        return {};
    return Prefix + "ln=" + std::to_string(params.logN) + ",r=" + std::to_string(params.r) +
           ",p=" + std::to_string(params.p) + "$" + toHex(salt) + "$" + toHex(*hash);
}

bool IsPasswordHash(const std::string &stored)
{
    return stored.compare(0, Prefix.size(), Prefix) == 0;
}

PasswordCheck VerifyPassword(const std::string &password, const std::string &stored)
{
    PasswordCheck out;
    if (stored.empty())
        return out;
    if (!IsPasswordHash(stored)) {
        // From before hashing: right once, and then rewritten.
        out.right =
            password.size() == stored.size() && CRYPTO_memcmp(password.data(), stored.data(), stored.size()) == 0;
        out.rewrite = out.right;
        return out;
    }
    const auto parsed = parse(stored);
    if (!parsed)
        return out;
    const auto hash = derive(password, parsed->salt, parsed->params, parsed->hash.size());
    out.right = hash && CRYPTO_memcmp(hash->data(), parsed->hash.data(), hash->size()) == 0;
    out.rewrite = out.right && weaker(parsed->params, ScryptParams{});
    return out;
}

void VerifyNothing(const std::string &password)
{
    const Bytes salt(SaltBytes, 0);
    derive(password, salt, ScryptParams{}, HashBytes);
}

}  // namespace quillon

#include "crypto/Password.h"
#include <argon2.h>
#include <charconv>
#include <cstdint>
#include <memory>
#include <optional>
#include <sodium.h>
#include <stdexcept>
#include <vector>

namespace tender::server {
namespace {

// libsodium's interactive limits, which every stored hash was made with.
constexpr std::uint32_t passes = 2, kibibytes = 64 * 1024, saltBytes = 16, hashBytes = 32;
constexpr std::uint32_t largestKibibytes = 1024 * 1024;
constexpr auto base64 = sodium_base64_VARIANT_ORIGINAL_NO_PADDING;

// Each hashing thread keeps its working memory. Mapping and unmapping 64 MiB per password takes the
// process's memory-map lock for long enough to stall the threads that serve requests.
struct WorkingMemory {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};
thread_local WorkingMemory memory;

int lend(std::uint8_t** out, std::size_t size)
{
    if (memory.size < size) {
        memory.bytes.reset(new (std::nothrow) std::uint8_t[size]);
        memory.size = memory.bytes ? size : 0;
    }
    *out = memory.bytes.get();
    return *out ? ARGON2_OK : ARGON2_MEMORY_ALLOCATION_ERROR;
}

void giveBack(std::uint8_t*, std::size_t) {}

struct Parameters {
    std::uint32_t kibibytes = 0, passes = 0, lanes = 0;
    std::vector<std::uint8_t> salt, hash;
};

std::vector<std::uint8_t> hashed(std::string_view password, const Parameters& p)
{
    std::vector<std::uint8_t> out(p.hash.empty() ? hashBytes : p.hash.size());
    argon2_context context{};
    context.out = out.data();
    context.outlen = static_cast<std::uint32_t>(out.size());
    context.pwd = reinterpret_cast<std::uint8_t*>(const_cast<char*>(password.data()));
    context.pwdlen = static_cast<std::uint32_t>(password.size());
    context.salt = const_cast<std::uint8_t*>(p.salt.data());
    context.saltlen = static_cast<std::uint32_t>(p.salt.size());
    context.t_cost = p.passes;
    context.m_cost = p.kibibytes;
    context.lanes = context.threads = p.lanes;
    context.version = ARGON2_VERSION_13;
    context.allocate_cbk = lend;
    context.free_cbk = giveBack;
    if (int code = argon2_ctx(&context, Argon2_id); code != ARGON2_OK)
        throw std::runtime_error(std::string("password hashing failed: ") + argon2_error_message(code));
    return out;
}

std::string encoded(const std::vector<std::uint8_t>& bytes)
{
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), base64), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes.data(), bytes.size(), base64);
    text.resize(text.find('\0'));
    return text;
}

std::optional<std::vector<std::uint8_t>> decoded(std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.size());
    std::size_t length = 0;
    const char* end = nullptr;
    int failed = sodium_base642bin(
        bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length, &end, base64);
    if (failed || end != text.data() + text.size())
        return std::nullopt;
    bytes.resize(length);
    return bytes;
}

// Reads `prefix` then a number from the front of `text`.
bool take(std::string_view& text, std::string_view prefix, std::uint32_t& number)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return error == std::errc();
}

// "$argon2id$v=19$m=65536,t=2,p=1$<salt>$<hash>", as libsodium writes it.
std::optional<Parameters> parsed(std::string_view text)
{
    Parameters p;
    std::uint32_t version = 0;
    if (!take(text, "$argon2id$v=", version) || version != ARGON2_VERSION_13
        || !take(text, "$m=", p.kibibytes) || !take(text, ",t=", p.passes) || !take(text, ",p=", p.lanes)
        || !text.starts_with('$'))
        return std::nullopt;
    text.remove_prefix(1);
    auto split = text.find('$');
    if (split == std::string_view::npos || p.kibibytes > largestKibibytes || p.passes == 0 || p.lanes != 1)
        return std::nullopt;
    auto salt = decoded(text.substr(0, split));
    auto hash = decoded(text.substr(split + 1));
    if (!salt || !hash || salt->size() < ARGON2_MIN_SALT_LENGTH || hash->size() < ARGON2_MIN_OUTLEN)
        return std::nullopt;
    p.salt = std::move(*salt);
    p.hash = std::move(*hash);
    return p;
}

}

std::string hashPassword(std::string_view password)
{
    Parameters p{kibibytes, passes, 1, std::vector<std::uint8_t>(saltBytes), {}};
    randombytes_buf(p.salt.data(), p.salt.size());
    auto hash = hashed(password, p);
    return "$argon2id$v=19$m=" + std::to_string(p.kibibytes) + ",t=" + std::to_string(p.passes) + ",p=1$"
        + encoded(p.salt) + "$" + encoded(hash);
}

bool verifyPassword(std::string_view stored, std::string_view password)
{
    auto p = parsed(stored);
    if (!p)
        return false;
    auto hash = hashed(password, *p);
    return sodium_memcmp(hash.data(), p->hash.data(), hash.size()) == 0;
}

}

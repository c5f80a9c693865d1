#include "PackageSigner.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>

PackageSigner::PackageSigner() = default;

PackageSigner::~PackageSigner() { EVP_PKEY_free(key_); }

bool PackageSigner::LoadPrivateKey(const std::string& pemPath, std::string& error) {
    FILE* file = std::fopen(pemPath.c_str(), "r");
    if (file == nullptr) {
        error = "cannot open the signing key " + pemPath;
        return false;
    }
    EVP_PKEY* key = PEM_read_PrivateKey(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    if (key == nullptr || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA || EVP_PKEY_get_bits(key) != 1024) {
        EVP_PKEY_free(key);
        error = "the signing key " + pemPath + " is not a 1024-bit RSA private key";
        return false;
    }
    EVP_PKEY_free(key_);
    key_ = key;
    return true;
}

std::string PackageSigner::Sign(const std::string& content) const {
    if (key_ == nullptr) {
        return {};
    }
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    std::string result;
    size_t length = 0;
    if (context != nullptr && EVP_DigestSignInit(context, nullptr, EVP_md5(), nullptr, key_) == 1 &&
        EVP_DigestSignUpdate(context, content.data(), content.size()) == 1 &&
        EVP_DigestSignFinal(context, nullptr, &length) == 1) {
        std::vector<unsigned char> signature(length);
        if (EVP_DigestSignFinal(context, signature.data(), &length) == 1) {
            result = Base64(signature.data(), length);
        }
    }
    EVP_MD_CTX_free(context);
    return result;
}

namespace {

std::vector<unsigned char> BigNumberParameter(EVP_PKEY* key, const char* name) {
    BIGNUM* number = nullptr;
    std::vector<unsigned char> bytes;
    if (key != nullptr && EVP_PKEY_get_bn_param(key, name, &number) == 1) {
        bytes.resize(BN_num_bytes(number));
        BN_bn2bin(number, bytes.data());
    }
    BN_free(number);
    return bytes;
}

}  // namespace

std::vector<unsigned char> PackageSigner::PublicModulus() const { return BigNumberParameter(key_, OSSL_PKEY_PARAM_RSA_N); }

std::vector<unsigned char> PackageSigner::PublicExponent() const {
    return BigNumberParameter(key_, OSSL_PKEY_PARAM_RSA_E);
}

std::string PackageSigner::Base64(const unsigned char* data, size_t length) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < length; i += 3) {
        unsigned v = data[i] << 16;
        if (i + 1 < length) v |= data[i + 1] << 8;
        if (i + 2 < length) v |= data[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < length ? kAlphabet[(v >> 6) & 63] : '=';
        out += i + 2 < length ? kAlphabet[v & 63] : '=';
    }
    return out;
}

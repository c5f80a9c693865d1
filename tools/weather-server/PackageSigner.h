// Signs forecast content with the server's private key: an RSA PKCS #1 v1.5 signature over the MD5
// digest, as base64 text.
#pragma once

#include <memory>
#include <string>
#include <vector>

typedef struct evp_pkey_st EVP_PKEY;

class PackageSigner {
public:
    PackageSigner();
    ~PackageSigner();
    PackageSigner(const PackageSigner&) = delete;
    PackageSigner& operator=(const PackageSigner&) = delete;

    bool LoadPrivateKey(const std::string& pemPath, std::string& error);
    // Empty on failure.
    std::string Sign(const std::string& content) const;
    // The public modulus and exponent as big-endian bytes, for the client's built-in key.
    std::vector<unsigned char> PublicModulus() const;
    std::vector<unsigned char> PublicExponent() const;

    static std::string Base64(const unsigned char* data, size_t length);

private:
    EVP_PKEY* key_ = nullptr;
};

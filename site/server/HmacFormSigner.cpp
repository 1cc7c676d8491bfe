#include "server/HmacFormSigner.h"

#include <Poco/DigestEngine.h>
#include <Poco/HMACEngine.h>
#include <Poco/RandomStream.h>
#include <Poco/SHA2Engine.h>

namespace pt::site {

namespace {

// SHA-256 with the block and digest sizes HMACEngine asks its engine for.
class Sha256 : public Poco::SHA2Engine {
public:
    enum { BLOCK_SIZE = 64, DIGEST_SIZE = 32 };
    Sha256() : Poco::SHA2Engine(Poco::SHA2Engine::SHA_256) {}
};

}  // namespace

std::string HmacFormSigner::sign(std::string_view text) {
    Poco::HMACEngine<Sha256> hmac(m_key);
    hmac.update(text.data(), static_cast<unsigned>(text.size()));
    return Poco::DigestEngine::digestToHex(hmac.digest());
}

std::string HmacFormSigner::randomKey() {
    Poco::RandomInputStream random;  // the system's source (getrandom, /dev/urandom)
    unsigned char bytes[16];
    random.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    static constexpr char Hex[] = "0123456789abcdef";
    std::string key;
    for (unsigned char b : bytes) {
        key += Hex[b >> 4];
        key += Hex[b & 15];
    }
    return key;
}

}  // namespace pt::site

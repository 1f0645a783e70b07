#include "BookContainer.h"

#include "PublishConstants.h"
#include "archive/ZKArchive.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace quire::publish {
namespace {

// RC4 lives in OpenSSL's legacy provider. A private library context keeps
// the legacy algorithms out of the rest of the process; the default provider
// is loaded beside it because loading any provider explicitly stops the
// automatic loading of the default one.
class Rc4Provider {
public:
    Rc4Provider()
    {
        m_context = OSSL_LIB_CTX_new();
        if (!m_context)
            return;
        m_legacy = OSSL_PROVIDER_load(m_context, "legacy");
        m_default = OSSL_PROVIDER_load(m_context, "default");
        if (m_legacy && m_default)
            m_cipher = EVP_CIPHER_fetch(m_context, "RC4", nullptr);
    }
    ~Rc4Provider()
    {
        EVP_CIPHER_free(m_cipher);
        if (m_default)
            OSSL_PROVIDER_unload(m_default);
        if (m_legacy)
            OSSL_PROVIDER_unload(m_legacy);
        OSSL_LIB_CTX_free(m_context);
    }
    Rc4Provider(const Rc4Provider&) = delete;
    Rc4Provider& operator=(const Rc4Provider&) = delete;

    const EVP_CIPHER* cipher() const { return m_cipher; }

private:
    OSSL_LIB_CTX* m_context = nullptr;
    OSSL_PROVIDER* m_legacy = nullptr;
    OSSL_PROVIDER* m_default = nullptr;
    EVP_CIPHER* m_cipher = nullptr;
};

const EVP_CIPHER* rc4Cipher()
{
    static Rc4Provider provider;
    return provider.cipher();
}

struct CipherCtxDeleter {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

} // namespace

std::optional<QByteArray> rc4(const QByteArray& data, const QByteArray& key)
{
    const EVP_CIPHER* cipher = rc4Cipher();
    if (!cipher || key.isEmpty())
        return std::nullopt;
    std::unique_ptr<EVP_CIPHER_CTX, CipherCtxDeleter> ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return std::nullopt;
    // The key length must be set before the key is given, or the default
    // length of 16 bytes is read from the key buffer.
    if (EVP_EncryptInit_ex2(ctx.get(), cipher, nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_set_key_length(ctx.get(), int(key.size())) != 1
        || EVP_EncryptInit_ex2(ctx.get(), nullptr, reinterpret_cast<const unsigned char*>(key.constData()),
                               nullptr, nullptr)
            != 1)
        return std::nullopt;

    QByteArray out(data.size(), Qt::Uninitialized);
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(data.constData());
    qsizetype done = 0;
    int written = 0;
    // One stream over the whole buffer, passed in slices an int can count.
    while (done < data.size()) {
        const int slice = int(std::min<qsizetype>(data.size() - done, INT_MAX / 2));
        if (EVP_EncryptUpdate(ctx.get(), dst + done, &written, src + done, slice) != 1 || written != slice)
            return std::nullopt;
        done += slice;
    }
    if (EVP_EncryptFinal_ex(ctx.get(), dst + done, &written) != 1 || written != 0)
        return std::nullopt;
    return out;
}

std::optional<QByteArray> sealBookDocument(const QByteArray& documentBytes)
{
    ZKDataArchive archive;
    if (archive.deflateData(documentBytes, QString::fromLatin1(kContainerEntryName)) != 1)
        return std::nullopt;
    return rc4(archive.data(), QByteArray(kContainerKey));
}

QByteArray containerScript(const QByteArray& containerBytes)
{
    return "window.quireBookContainer = \"" + containerBytes.toBase64() + "\";\n";
}

} // namespace quire::publish

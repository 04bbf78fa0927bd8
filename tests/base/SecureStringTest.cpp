#include "QtPrinters.h"
#include "base/EDataProtectionError.h"
#include "base/EInvalidOpException.h"
#include "base/TRunProtection.h"
#include "base/TSecureString.h"
#include "base/TSecureStringImpl.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>
#include <algorithm>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace {

bool AllZero(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() == 0; });
}

QString Plain(const TSecureString& value)
{
    QString text;
    value.DecryptToString(text);
    return text;
}

TEST(SecureString, RoundTripsOfTexts)
{
    const QString texts[] = {
        QString(), QStringLiteral("a"), QStringLiteral("parole"), QString::fromUtf8("Ābele ņ ž ČĢĶ"),
        QString::fromUtf8("emoji \xF0\x9F\x8C\xB2 tree"), QString(QStringLiteral("nul\0inside")), QString(5000, u'x')};
    for (const QString& text : texts) {
        SCOPED_TRACE(text.left(20).toStdString());
        const TSecureString value = TSecureString::CreateFromString(text);
        EXPECT_EQ(value.IsEmpty(), text.isEmpty());
        EXPECT_EQ(value.EncryptedText().isEmpty(), text.isEmpty());
        EXPECT_EQ(Plain(value), text);
        if (text.size() >= 4) { // no plain UTF-16 run in the protected form
            const QString head = text.left(4);
            const QByteArray headBytes(reinterpret_cast<const char*>(head.utf16()), 8);
            EXPECT_FALSE(QByteArray::fromBase64(value.EncryptedText().toLatin1()).contains(headBytes));
        }

        TSecureString restored;
        restored.SetEncryptedText(value.EncryptedText());
        EXPECT_EQ(Plain(restored), text);

        QString viaClass = QStringLiteral("old");
        TSecureString::DecryptString(TSecureString::EncryptString(text), viaClass);
        EXPECT_EQ(viaClass, text);
    }
}

TEST(SecureString, EqualsComparesPlainTexts)
{
    const struct { const char* A; const char* B; bool Equal; } rows[] = {
        {"secret", "secret", true}, {"secret", "Secret", false}, {"secret", "secreT", false}, {"secret", "secre", false},
        {"", "", true}, {"", "x", false}, {"x", "", false}};
    for (const auto& row : rows) {
        const TSecureString a = TSecureString::CreateFromString(QString::fromUtf8(row.A));
        const TSecureString b = TSecureString::CreateFromString(QString::fromUtf8(row.B));
        EXPECT_EQ(a.Equals(b), row.Equal) << row.A << " / " << row.B;
        EXPECT_EQ(b.Equals(a), row.Equal) << row.B << " / " << row.A;
    }
    // Same text, protected twice: different forms, equal values.
    const TSecureString a = TSecureString::CreateFromString(QStringLiteral("pw"));
    const TSecureString b = TSecureString::CreateFromString(QStringLiteral("pw"));
    EXPECT_NE(a.EncryptedText(), b.EncryptedText());
    EXPECT_TRUE(a.Equals(b));

    TSecureString copy = a; // copies share the protected form
    EXPECT_EQ(copy.EncryptedText(), a.EncryptedText());
    copy.Empty();
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_FALSE(a.IsEmpty());
    copy.SetEncryptedText(QString());
    EXPECT_TRUE(copy.IsEmpty());
}

// Every damaged form fails with the diagnostic lines; none decrypts to anything.
TEST(SecureString, DamagedFormsFailWithDiagnostics)
{
    const QByteArray good = QByteArray::fromBase64(TSecureString::EncryptString(QStringLiteral("parole")).toLatin1());
    ASSERT_GT(good.size(), 28);
    const auto flip = [&](qsizetype at) { QByteArray b = good; b[at] = char(b[at] ^ 0x01); return b; };
    QByteArray random(good.size(), Qt::Uninitialized);
    RAND_bytes(reinterpret_cast<unsigned char*>(random.data()), int(random.size()));
    const struct { const char* What; QByteArray Bytes; } rows[] = {
        {"nonce", flip(0)}, {"cipher text", flip(14)}, {"tag", flip(good.size() - 1)},
        {"cut short", good.left(good.size() - 1)}, {"too short for a form", good.left(20)},
        {"extended", good + 'x'}, {"random", random}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.What);
        TSecureString value;
        value.SetEncryptedText(QString::fromLatin1(row.Bytes.toBase64()));
        QString buffer = QStringLiteral("keep?");
        try {
            value.DecryptToString(buffer);
            ADD_FAILURE() << "decrypted to " << buffer.toStdString();
        } catch (const EDataProtectionError& e) {
            const QString hash = QString::fromLatin1(
                QCryptographicHash::hash(row.Bytes, QCryptographicHash::Md5).toHex().toUpper());
            const QString tail = QStringLiteral("\r\nEntropy length: 24\r\nBuffer length: %1\r\n"
                                                "Buffer hash (original): %2\r\nBuffer hash (current): %2\r\n"
                                                "Buffer (Base64): %3")
                                     .arg(row.Bytes.size())
                                     .arg(hash, QString::fromLatin1(row.Bytes.toBase64()));
            EXPECT_TRUE(e.Message().endsWith(tail)) << e.Message().toStdString();
        }
        EXPECT_TRUE(buffer.isEmpty());
    }
}

// The message states the length of the refused text, never the text: it is protected data.
TEST(SecureString, TextsThatAreNotBase64AreRefused)
{
    for (const char* text : {"!!!!", "QUJD\nRA==", "QUJDRA", "Āāāā"}) {
        SCOPED_TRACE(text);
        const QString encrypted = QString::fromUtf8(text);
        TSecureString value;
        try {
            value.SetEncryptedText(encrypted);
            ADD_FAILURE() << "accepted";
        } catch (const EDataProtectionError& e) {
            EXPECT_EQ(e.Message(),
                      QStringLiteral("The protected text is not Base64 (%1 characters)").arg(encrypted.size()));
        }
        EXPECT_TRUE(value.IsEmpty());
    }
}

// A form made under another key (another run) is refused, not read as garbage.
TEST(SecureString, FormOfAnotherRunIsRefused)
{
    unsigned char key[32];
    unsigned char nonce[12];
    RAND_bytes(key, sizeof key);
    RAND_bytes(nonce, sizeof nonce);
    const QString text = QStringLiteral("pw");
    const QByteArray aad = TRunProtection::Entropy();
    QByteArray form(reinterpret_cast<const char*>(nonce), 12);
    unsigned char out[4];
    unsigned char tag[16];
    int length = 0;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, key, nonce);
    EVP_EncryptUpdate(ctx, nullptr, &length, reinterpret_cast<const unsigned char*>(aad.constData()), int(aad.size()));
    EVP_EncryptUpdate(ctx, out, &length, reinterpret_cast<const unsigned char*>(text.utf16()), 4);
    EVP_EncryptFinal_ex(ctx, out + length, &length);
    EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, 16, tag);
    EVP_CIPHER_CTX_free(ctx);
    form += QByteArray(reinterpret_cast<const char*>(out), 4) + QByteArray(reinterpret_cast<const char*>(tag), 16);

    QString buffer;
    EXPECT_THROW(TSecureString::DecryptString(QString::fromLatin1(form.toBase64()), buffer), EDataProtectionError);
}

// The process id is part of the protection: a child process cannot read its parent's form.
TEST(SecureString, FormOfAnotherProcessIsRefused)
{
    const QString form = TSecureString::EncryptString(QStringLiteral("pw"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 3;
        try {
            QString buffer;
            TSecureString::DecryptString(form, buffer);
            code = 1;
        } catch (const EDataProtectionError&) {
            code = 0;
        } catch (...) {
            code = 2;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    QString buffer;
    TSecureString::DecryptString(form, buffer); // the parent still reads it
    EXPECT_EQ(buffer, QStringLiteral("pw"));
}

TEST(SecureString, OddLengthIsWrongLength)
{
    const QByteArray form = TRunProtection::Protect(QByteArrayLiteral("abc"));
    const auto impl = CreateSecureStringImplFromEncrypted(QString::fromLatin1(form.toBase64()));
    QString buffer;
    try {
        impl->DecryptToString(buffer);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOpException& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Wrong length of encrypted data"));
    }
}

// Wiping reaches the whole memory of a text or byte array, not only its current content: one that
// was shortened, or cut at its front, keeps old characters in its spare room.
template <typename Array>
bool AllocationIsZero(Array& array)
{
    const auto& data = array.data_ptr();
    const auto* start = data.data() - data.freeSpaceAtBegin();
    return std::all_of(start, start + data.constAllocatedCapacity(), [](auto c) { return c == 0; });
}

enum class TChange { None, Shortened, CutAtFront, Emptied, Grown };

template <typename Array>
void Apply(Array& array, TChange change)
{
    switch (change) {
    case TChange::None: break;
    case TChange::Shortened: array.truncate(1); break;
    case TChange::CutAtFront: array.remove(0, 7); break;
    case TChange::Emptied: array.resize(0); break;
    case TChange::Grown: array.reserve(100); array += array; break;
    }
}

TEST(SecureString, WipingReachesTheWholeCapacity)
{
    for (TChange change : {TChange::None, TChange::Shortened, TChange::CutAtFront, TChange::Emptied, TChange::Grown}) {
        SCOPED_TRACE(static_cast<int>(change));
        QString text = QStringLiteral("pass") + QStringLiteral("word");
        Apply(text, change);
        TSecureString::ClearString(text);
        EXPECT_TRUE(AllocationIsZero(text));

        QByteArray bytes = QByteArray("pass") + QByteArray("word");
        Apply(bytes, change);
        TSecureString::ClearBytes(bytes);
        EXPECT_TRUE(AllocationIsZero(bytes));
    }
}

TEST(SecureString, WipingPlainCopies)
{
    // A heap text is wiped in place, copies sharing it included.
    QString secret = QStringLiteral("pass") + QStringLiteral("word");
    const QString shared = secret;
    TSecureString::ClearString(secret);
    EXPECT_EQ(shared.size(), 8);
    EXPECT_TRUE(AllZero(shared));

    // A literal lives in read-only memory: left alone rather than crashing.
    const QString literal = QStringLiteral("literal");
    TSecureString::ClearString(literal);
    EXPECT_EQ(literal, QStringLiteral("literal"));
    TSecureString::ClearString(QString());

    QByteArray bytes("key bytes");
    const QByteArray sharedBytes = bytes;
    TSecureString::ClearBytes(bytes);
    EXPECT_EQ(sharedBytes, QByteArray(9, '\0'));
    static const char readOnly[] = "raw";
    const QByteArray raw = QByteArray::fromRawData(readOnly, 3);
    TSecureString::ClearBytes(raw);
    EXPECT_EQ(raw, QByteArrayLiteral("raw"));

    // Appending wipes the old buffer; an empty tail changes nothing.
    struct { QString Buffer; QString Tail; QString Expected; bool OldWiped; } rows[] = {
        {QStringLiteral("ab") + QStringLiteral("c"), QString(), QStringLiteral("abc"), false},
        {QStringLiteral("ab") + QStringLiteral("c"), QStringLiteral("def"), QStringLiteral("abcdef"), true},
        {QString(), QStringLiteral("x"), QStringLiteral("x"), false},
    };
    for (auto& row : rows) {
        const QString old = row.Buffer;
        TSecureString::AppendString(row.Buffer, row.Tail);
        EXPECT_EQ(row.Buffer, row.Expected);
        EXPECT_EQ(!old.isEmpty() && AllZero(old), row.OldWiped) << row.Expected.toStdString();
    }

    // Decrypting into a buffer wipes what it held.
    QString buffer = QStringLiteral("previous") + QStringLiteral("secret");
    const QString previous = buffer;
    TSecureString::CreateFromString(QStringLiteral("new")).DecryptToString(buffer);
    EXPECT_EQ(buffer, QStringLiteral("new"));
    EXPECT_TRUE(AllZero(previous));
}

// Values are protected, read and compared from several threads at once, copies of one value
// shared between them included.
TEST(SecureString, ThreadsProtectAndReadAtOnce)
{
    const TSecureString common = TSecureString::CreateFromString(QStringLiteral("common secret"));
    constexpr int threadCount = 4;
    std::vector<int> failures(threadCount, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&, t] {
            const TSecureString shared = common; // a copy sharing the protected form
            for (int i = 0; i < 50; ++i) {
                const QString text = QStringLiteral("secret %1/%2").arg(t).arg(i);
                const TSecureString own = TSecureString::CreateFromString(text);
                TSecureString restored;
                restored.SetEncryptedText(own.EncryptedText());
                QString plain;
                restored.DecryptToString(plain);
                const bool ok = plain == text && own.Equals(restored) && shared.Equals(common) && !own.Equals(shared);
                TSecureString::ClearString(plain);
                failures[t] += ok ? 0 : 1;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(threadCount, 0));
}

} // namespace

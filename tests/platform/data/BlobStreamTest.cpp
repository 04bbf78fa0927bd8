#include "DataSetTestUtil.h"

#include "platform/data/BlobField.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/ZipBlobStream.h"

#include <gtest/gtest.h>

namespace {

// A registered implementation: keeps the field's bytes compressed with zlib.
class TestZip : public TZipBlobStream {
public:
    TestZip(std::unique_ptr<TBlobStream> blob, TBlobField* field, TBlobStreamMode mode)
        : TZipBlobStream(std::move(blob), field, mode)
    {
        const QByteArray packed = BlobStream()->Data();
        if (!packed.isEmpty()) {
            const QByteArray plain = qUncompress(packed);
            TBlobStream::Write(plain.constData(), plain.size());
            SetPosition(0);
        }
    }
    void Commit() override
    {
        BlobStream()->SetSize(0);
        const QByteArray packed = qCompress(Data());
        BlobStream()->Write(packed.constData(), packed.size());
        BlobStream()->Commit();
    }
};

struct BlobTable {
    TClientDataSet ds;
    TBlobField* blob = nullptr;
    BlobTable()
    {
        ds.FieldDefs().Add("B", TFieldType::ftBlob);
        ds.CreateDataSet();
        blob = dynamic_cast<TBlobField*>(ds.FieldByName("B"));
        ds.Append();
    }
    ~BlobTable() { TZipBlobStream::SetZipBlobStreamImpl(nullptr); }
};

TEST(BlobStream, PlainStreamReadsAndWritesTheField)
{
    BlobTable t;
    t.blob->SetAsBytes(QByteArray("abc\0def", 7));
    auto read = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmRead);
    EXPECT_EQ(read->Size(), 7);
    char buf[4] = {};
    EXPECT_EQ(read->Read(buf, 3), 3);
    EXPECT_EQ(QByteArray(buf, 3), "abc");
    EXPECT_THROW(read->Write("x", 1), EDatabaseError);
    EXPECT_THROW(read->Commit(), EDatabaseError);
    auto write = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmWrite);
    EXPECT_EQ(write->Size(), 0) << "writing starts empty";
    write->Write(QByteArray("0123456789"), 2, 3);
    write->Commit();
    EXPECT_EQ(t.blob->AsBytes(), "234");
    t.ds.Post();
    auto afterPost = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmReadWrite);
    afterPost->SetPosition(3);
    afterPost->Write("5", 1);
    EXPECT_THROW(afterPost->Commit(), EDatabaseError) << "the dataset is not being edited";
    EXPECT_THROW(t.ds.CreateBlobStream(nullptr, TBlobStreamMode::bmRead), EDatabaseError);
}

TEST(BlobStream, CompressedStreamNeedsARegisteredImplementation)
{
    BlobTable t;
    EXPECT_FALSE(TZipBlobStream::IsZipBlobStreamsEnabled());
    try {
        TZipBlobStream::CreateZipBlobStream(std::make_unique<TBlobStream>(), t.blob, TBlobStreamMode::bmRead);
        FAIL() << "expected a failure";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "ZipBlobStream implementation not speicified!");
    }
    // A field that asks for compression gets the plain stream while nothing is registered.
    t.blob->SetCompression(TBlobCompressionType::bcAlways);
    auto plain = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmWrite);
    EXPECT_EQ(dynamic_cast<TZipBlobStream*>(plain.get()), nullptr);
}

TEST(BlobStream, RegisteredImplementationWrapsCompressedFields)
{
    BlobTable t;
    TZipBlobStream::SetZipBlobStreamImpl([](std::unique_ptr<TBlobStream> blob, TBlobField* field, TBlobStreamMode mode) {
        return std::make_unique<TestZip>(std::move(blob), field, mode);
    });
    EXPECT_TRUE(TZipBlobStream::IsZipBlobStreamsEnabled());
    auto uncompressed = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmWrite);
    EXPECT_EQ(dynamic_cast<TZipBlobStream*>(uncompressed.get()), nullptr) << "bcNone stays plain";

    t.blob->SetCompression(TBlobCompressionType::bcAutodetect);
    auto out = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmWrite);
    auto* zip = dynamic_cast<TZipBlobStream*>(out.get());
    ASSERT_NE(zip, nullptr);
    EXPECT_FALSE(zip->Modified());
    zip->SetSize(0);
    EXPECT_FALSE(zip->Modified()) << "the same size is no change";
    const QByteArray text(200, 'a');
    zip->Write(text.constData(), text.size());
    EXPECT_TRUE(zip->Modified());
    zip->Commit();
    EXPECT_EQ(t.blob->AsBytes(), qCompress(text));

    auto in = t.ds.CreateBlobStream(t.blob, TBlobStreamMode::bmRead);
    EXPECT_EQ(in->Data(), text);
    auto* zin = dynamic_cast<TZipBlobStream*>(in.get());
    ASSERT_NE(zin, nullptr);
    zin->SetSize(10);
    EXPECT_TRUE(zin->Modified());
}

TEST(BlobStream, IncludeBlobsInDeltaOnlyWhileClosed)
{
    TClientDataSet ds;
    ds.SetIncludeBlobsInDelta(true);
    EXPECT_TRUE(ds.IncludeBlobsInDelta());
    ds.FieldDefs().Add("B", TFieldType::ftBlob);
    ds.CreateDataSet();
    EXPECT_THROW(ds.SetIncludeBlobsInDelta(false), EDatabaseError);
    EXPECT_TRUE(ds.IncludeBlobsInDelta());
}

} // namespace

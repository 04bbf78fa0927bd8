#include "base/IScalableComponent.h"
#include "base/IStrongRefTarget.h"
#include "base/ObjReferences.h"
#include "base/TObjReference.h"
#include "base/TWeakRef.h"
#include "platform/rtl/Exception.h"

#include <QObject>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Hands out its own weak reference and clears it when it dies, as a grid column does.
class Column : public IWeakReferenceable
{
public:
    ~Column() override
    {
        if (FWeakRef)
            FWeakRef->RemoveRef();
    }
    std::shared_ptr<IObjReference> WeakRef() override
    {
        if (!FWeakRef)
            FWeakRef = MakeSimpleWeakReference(this);
        return FWeakRef;
    }
    std::shared_ptr<IObjReference> StrongRef() override { return WeakRef(); }
    void RemoveStrongRef() override { ++removeStrongCalls; }

    int removeStrongCalls = 0;

private:
    std::shared_ptr<IObjReference> FWeakRef;
};

class Counted : public IStrongRefTarget
{
public:
    void StrongRefMade() override { ++made; }
    void StrongRefReleasing() override { ++releasing; }
    void StrongRefRemoved() override { ++removed; }
    int made = 0, releasing = 0, removed = 0;
};

class ScaledWidget : public QWidget, public IScalableComponent
{
public:
    double GetScale() const override { return FScale; }
    void SetScale(double value) override { FScale = value; }
    double FScale = 1.5;
};

TEST(WeakRefTest, ComponentReadsNilOnceFreed)
{
    auto* widget = new QWidget;
    TWeakRef<QWidget> ref(widget);
    EXPECT_EQ(ref.Value(), widget);
    delete widget;
    EXPECT_EQ(ref.Value(), nullptr);
    EXPECT_EQ(ref.Ref(), nullptr);
    EXPECT_EQ(TWeakRef<QWidget>(nullptr).Value(), nullptr);
    EXPECT_EQ(TWeakRef<QWidget>().Value(), nullptr);
}

TEST(WeakRefTest, ObjectsHandOutTheirOwnReference)
{
    auto column = std::make_unique<Column>();
    const auto a = GetObjReference(static_cast<IInterface*>(column.get()));
    const auto b = GetObjReference(static_cast<IInterface*>(column.get()));
    EXPECT_EQ(a, b);
    EXPECT_TRUE(a->IsWeak());
    TWeakRef<Column> ref(column.get());
    EXPECT_EQ(ref.Value(), column.get());
    column.reset();
    EXPECT_EQ(a->Value(), nullptr);
    EXPECT_EQ(ref.Value(), nullptr);
}

TEST(WeakRefTest, StrongReferencesTellTheirTarget)
{
    auto column = std::make_shared<Column>();
    {
        auto strong = MakeObjReference(std::static_pointer_cast<IInterface>(column), false);
        EXPECT_FALSE(strong->IsWeak());
        EXPECT_EQ(strong->Value(), column.get());
    }
    EXPECT_EQ(column->removeStrongCalls, 1);
    {
        auto strong = MakeObjReference(std::static_pointer_cast<IInterface>(column), false);
        strong->RemoveRef();
        EXPECT_EQ(strong->Value(), nullptr);
    }
    EXPECT_EQ(column->removeStrongCalls, 2); // once, not again at destruction

    auto counted = std::make_shared<Counted>();
    {
        auto strong = MakeObjReference(std::static_pointer_cast<IInterface>(counted), false);
        EXPECT_EQ(counted->made, 1);
    }
    EXPECT_EQ(counted->releasing, 1);
    EXPECT_EQ(counted->removed, 0);
}

TEST(WeakRefTest, WeakReferencesToSharedTargets)
{
    auto counted = std::make_shared<Counted>();
    auto weak = GetObjReference(std::static_pointer_cast<IInterface>(counted));
    EXPECT_EQ(weak->Value(), counted.get());
    EXPECT_EQ(counted->made, 0);
    counted.reset();
    EXPECT_EQ(weak->Value(), nullptr);
    Counted plain;
    EXPECT_THROW(GetObjReference(static_cast<IInterface*>(&plain)), Exception);
    EXPECT_EQ(MakeObjReference(static_cast<QObject*>(nullptr), true), nullptr);
}

TEST(WeakRefTest, ScaleOfAControl)
{
    ScaledWidget scaled;
    QWidget plain;
    EXPECT_EQ(IScalableComponent::ScaleOf(&scaled), 1.5);
    EXPECT_EQ(IScalableComponent::ScaleOf(&plain), 1.0);
    EXPECT_EQ(IScalableComponent::ScaleOf(nullptr), 1.0);
}

} // namespace

#include "DataSetTestUtil.h"

#include "platform/data/IntegerField.h"
#include "platform/data/KpDbDataSet.h"
#include "platform/data/KpDbField.h"
#include "platform/data/XPSubject.h"

#include <gtest/gtest.h>

namespace {

// An observer that holds subjects in its variables and logs what it is told.
class Watcher : public TXPSubjects, public virtual IKpDbObserver {
public:
    explicit Watcher(QStringList* log = nullptr, QString name = QString())
        : FLog(log)
        , FName(std::move(name))
    {
    }
    ~Watcher() override { ++destroyed; }

    void SubjectReleased(IXPSubject* subject, void* context) override
    {
        TXPSubjects::SubjectReleased(subject, context);
    }
    void FieldChange(IKpDbField* subject, bool after) override
    {
        Log(QStringLiteral("%1 field %2 %3")
                .arg(FName, subject->GetField()->FieldName(), after ? QStringLiteral("after") : QStringLiteral("before")));
    }
    void DataSetEvent(IKpDbDataSet*) override { Log(FName + " dataset"); }
    void DataSetEventAfter(IKpDbDataSet*) override { Log(FName + " dataset after"); }

    XPRef<IXPSubject> var1, var2;
    static int destroyed;

private:
    void Log(const QString& s)
    {
        if (FLog)
            *FLog << s;
    }
    QStringList* FLog;
    QString FName;
};
int Watcher::destroyed = 0;

// An observer without the dataset interface.
class Deaf : public TXPSubjects {
public:
    XPRef<IXPSubject> var;
};

TEST(XPSubject, AttachSameObserverAndContextOnlyOnce)
{
    XPRef<TXPSubject> subject(new TXPSubject());
    XPRef<Watcher> w(new Watcher());
    int context = 0, other = 0;
    XPRef<IXPObserver> asObserver(static_cast<IXPObserver*>(static_cast<IKpDbObserver*>(w.get())));
    EXPECT_TRUE(subject->AttachObserver(asObserver, subject.get(), &context));
    EXPECT_FALSE(subject->AttachObserver(asObserver, subject.get(), &context));
    EXPECT_EQ(subject->ObserverCount(), 1);
    EXPECT_TRUE(subject->AttachObserver(asObserver, subject.get(), &other));
    EXPECT_EQ(subject->ObserverCount(), 2);
    EXPECT_FALSE(subject->InsertObserverAt(5, asObserver, subject.get(), nullptr));
    EXPECT_FALSE(subject->InsertObserverAt(-1, asObserver, subject.get(), nullptr));
    EXPECT_TRUE(subject->InsertObserverAt(0, asObserver, subject.get(), nullptr));
    EXPECT_EQ(subject->ObserverAt(0), asObserver);
    EXPECT_FALSE(subject->ObserverAt(-1));
    EXPECT_FALSE(subject->ObserverAt(3));
    EXPECT_TRUE(subject->DetachObserver(asObserver, &other));
    EXPECT_FALSE(subject->DetachObserver(asObserver, &other));
    subject->DetachAllObservers();
    EXPECT_EQ(subject->ObserverCount(), 0);
}

TEST(XPSubject, ObserverVariablesAreClearedOrCalledBack)
{
    XPRef<TXPSubject> subject(new TXPSubject());
    XPRef<Watcher> w(new Watcher());
    w->var1 = subject;
    w->var2 = subject;
    EXPECT_TRUE(w->AttachSubject(w->var1));
    EXPECT_FALSE(w->AttachSubject(w->var1)) << "the same variable twice";
    void* calledWith = nullptr;
    EXPECT_TRUE(w->AttachSubject(w->var2, TXPSubjectCallback { w.get(), [&](void* var) { calledWith = var; } }));
    XPRef<IXPSubject> empty;
    EXPECT_FALSE(w->AttachSubject(empty));
    EXPECT_EQ(subject->ObserverCount(), 2);
    subject->DetachAllObservers();
    EXPECT_FALSE(w->var1) << "a variable without callback is cleared";
    EXPECT_TRUE(w->var2) << "with a callback the variable is left to it";
    EXPECT_EQ(calledWith, &w->var2);
    EXPECT_EQ(w->SubjectCount(), 0);
    EXPECT_FALSE(w->DetachSubject(w->var1));
}

TEST(XPSubject, DroppingAllButTheObserversReferencesDestroysTheSubject)
{
    Watcher::destroyed = 0;
    XPRef<Watcher> a(new Watcher()), b(new Watcher());
    {
        XPRef<TXPSubject> subject(new TXPSubject());
        a->var1 = subject;
        b->var1 = subject;
        ASSERT_TRUE(a->AttachSubject(a->var1));
        ASSERT_TRUE(b->AttachSubject(b->var1));
        EXPECT_EQ(subject->RefCount(), 3);
    }
    EXPECT_FALSE(a->var1);
    EXPECT_FALSE(b->var1);
    EXPECT_EQ(a->SubjectCount(), 0);
    EXPECT_EQ(Watcher::destroyed, 0);
    a = nullptr;
    b = nullptr;
    EXPECT_EQ(Watcher::destroyed, 2) << "the subject no longer holds the observers";
}

TEST(XPSubject, ObserverThatDiesDetachesItself)
{
    XPRef<TXPSubject> subject(new TXPSubject());
    {
        XPRef<Watcher> w(new Watcher());
        w->var1 = subject;
        w->AttachSubject(w->var1);
        EXPECT_EQ(subject->ObserverCount(), 1);
        w->DetachAllSubjects();
        EXPECT_FALSE(w->var1);
    }
    EXPECT_EQ(subject->ObserverCount(), 0);
    EXPECT_EQ(subject->RefCount(), 1);
}

TEST(XPInterfacedObject, DelegatorAnswersAndIsCounted)
{
    XPRef<TXPSubject> outer(new TXPSubject());
    auto* inner = new TXPInterfacedObject(outer.get());
    EXPECT_EQ(inner->QueryTarget(), static_cast<IXPUnknown*>(outer.get()));
    EXPECT_NE(inner->QueryInterface<IXPSubject>(), nullptr);
    inner->SetIntrospective(true);
    EXPECT_EQ(inner->QueryInterface<IXPSubject>(), nullptr);
    inner->_AddRef();
    EXPECT_EQ(outer->RefCount(), 2);
    inner->_Release();
    EXPECT_EQ(outer->RefCount(), 1);
    EXPECT_EQ(inner->RefCount(), 0) << "still alive: a delegated object never frees itself";
    delete inner;
    TXPInterfacedObject alone;
    alone.SetIntrospective(true);
    alone.SetIntrospective(false);
    EXPECT_TRUE(alone.Introspective()) << "without a delegator it cannot be switched off";
}

TEST(DataSetObservers, FieldSubjectAroundEachChange)
{
    QStringList log;
    auto ds = MakeLogs();
    TField* f = ds->FieldByName("KOKS_NR");
    XPRef<Watcher> w(new Watcher(&log, "w"));
    XPRef<Deaf> deaf(new Deaf());
    XPRef<Watcher> last(new Watcher(&log, "last"));
    deaf->var = f->KpDbField();
    w->var1 = f->KpDbField();
    last->var1 = f->KpDbField();
    EXPECT_EQ(f->KpDbField(), f->KpDbField()) << "created once and kept";
    EXPECT_EQ(f->KpDbField()->GetField(), f);
    w->AttachSubject(w->var1);
    deaf->AttachSubject(deaf->var);
    last->AttachSubject(last->var1);
    f->OnChange = [&](TField*) { log << "OnChange"; };
    ds->Append();
    f->SetAsInteger(1);
    ds->Cancel();
    // The observer without the interface is passed over; the one after it still hears.
    EXPECT_EQ(log.join(", "), "w field KOKS_NR before, last field KOKS_NR before, OnChange, "
                              "w field KOKS_NR after, last field KOKS_NR after");
    // The field dies: its subject is told and lets go of the field.
    XPRef<IKpDbField> subject = f->KpDbField();
    ds.reset();
    EXPECT_EQ(subject->GetField(), nullptr);
}

TEST(DataSetObservers, DataSetSubjectOnChangeScrollAndState)
{
    QStringList log;
    auto ds = MakeLogs();
    AddLog(*ds, 1, 1);
    AddLog(*ds, 2, 1);
    XPRef<Watcher> w(new Watcher(&log, "w"));
    w->var1 = ds->KpDbDataSet();
    w->AttachSubject(w->var1);
    EXPECT_EQ(ds->KpDbDataSet()->GetDataSet(), ds.get());
    ds->First(); // data-set change
    ds->Next();  // scroll
    ds->Edit();  // state
    ds->Cancel();
    ds->DisableControls();
    ds->Prior(); // the subject hears even while controls are disabled
    ds->EnableControls();
    EXPECT_EQ(log.join(", "), "w dataset, w dataset, w dataset, w dataset, w dataset, w dataset, w dataset");
    log.clear();
    ds->KpDbDataSet()->NotifyObservers(1);
    ds->KpDbDataSet()->NotifyObservers(2);
    EXPECT_EQ(log.join(", "), "w dataset after");
    XPRef<IKpDbDataSet> subject = ds->KpDbDataSet();
    ds.reset();
    EXPECT_EQ(subject->GetDataSet(), nullptr);
}

TEST(DataSetObservers, CalculatedFieldNotifiesWhileCalculating)
{
    QStringList log;
    TClientDataSet ds;
    ds.FieldDefs().Add("A", TFieldType::ftInteger);
    auto a = std::make_shared<TIntegerField>();
    a->SetFieldName("A");
    ds.AddField(a);
    auto twice = std::make_shared<TIntegerField>();
    twice->SetFieldName("TWICE");
    twice->SetFieldKind(TFieldKind::fkCalculated);
    ds.AddField(twice);
    ds.OnCalcFields = [&](TDataSet* d) {
        log << "calc";
        d->FieldByName("TWICE")->SetAsInteger(d->FieldByName("A")->AsInteger() * 2);
    };
    ds.CreateDataSet();
    XPRef<Watcher> w(new Watcher(&log, "w"));
    w->var1 = twice->KpDbField();
    w->AttachSubject(w->var1);
    ds.Append();
    a->SetAsInteger(21);
    EXPECT_EQ(twice->AsInteger(), 42);
    ds.Post();
    EXPECT_EQ(twice->AsInteger(), 42);
    EXPECT_EQ(log.join(", "), "calc, w field TWICE before, w field TWICE after, calc, w field TWICE before, "
                              "w field TWICE after");
}

} // namespace

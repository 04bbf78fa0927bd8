#include "DataSetTestUtil.h"

#include "platform/data/DataLink.h"
#include "platform/data/DataSource.h"
#include "platform/data/EDatabaseError.h"

#include <gtest/gtest.h>

namespace {

// Records every notification as a short text.
class RecordingLink : public TDataLink {
public:
    QStringList log;

protected:
    void ActiveChanged() override { log << (Active() ? "active" : "inactive"); }
    void DataSetChanged() override { log << "changed"; }
    void DataSetScrolled(int distance) override { log << QStringLiteral("scrolled %1").arg(distance); }
    void RecordChanged(TField* field) override { log << (field ? "record " + field->FieldName() : "record"); }
    void LayoutChanged() override { log << "layout"; }
    void EditingChanged() override { log << (Editing() ? "editing" : "browsing"); }
    void UpdateData() override { log << "update"; }
    void FocusControl(TField** field) override { log << "focus " + (*field)->FieldName(); }
};

struct Linked {
    std::unique_ptr<TClientDataSet> ds = MakeLogs();
    TDataSource source;
    RecordingLink link;

    explicit Linked(int records, int bufferCount)
    {
        for (int i = 1; i <= records; ++i)
            AddLog(*ds, i, 1);
        source.SetDataSet(ds.get());
        link.SetBufferCount(bufferCount);
        link.SetDataSource(&source);
        ds->First();
        link.log.clear();
    }
    QString Take()
    {
        const QString s = link.log.join(", ");
        link.log.clear();
        return s;
    }
    int Koks() const { return ds->FieldByName("KOKS_NR")->AsInteger(); }
};

TEST(DataLink, WindowMovesByTheLeastDistance)
{
    Linked t(10, 3);
    EXPECT_TRUE(t.link.Active());
    EXPECT_EQ(t.link.RecordCount(), 3);
    EXPECT_EQ(t.link.ActiveRecord(), 0);
    struct Step {
        std::function<void(TDataSet&)> move;
        const char* events;
        int first, active;
    } steps[] = {
        { [](TDataSet& d) { d.Next(); }, "scrolled 0", 0, 1 },
        { [](TDataSet& d) { d.Next(); }, "scrolled 0", 0, 2 },
        { [](TDataSet& d) { d.Next(); }, "scrolled 1", 1, 2 },
        { [](TDataSet& d) { d.MoveBy(4); }, "scrolled 4", 5, 2 },
        { [](TDataSet& d) { d.MoveBy(-2); }, "scrolled 0", 5, 0 },
        { [](TDataSet& d) { d.Prior(); }, "scrolled -1", 4, 0 },
        { [](TDataSet& d) { d.MoveBy(100); }, "scrolled 3", 7, 2 },
        { [](TDataSet& d) { d.Next(); }, "", 7, 2 }, // at the end already: nothing
        { [](TDataSet& d) { d.First(); }, "changed", 0, 0 },
        { [](TDataSet& d) { d.Last(); }, "changed", 7, 2 },
        { [](TDataSet& d) { d.SetRecNo(6); }, "changed", 5, 0 },
    };
    for (const Step& s : steps) {
        s.move(*t.ds);
        EXPECT_EQ(t.Take(), s.events);
        EXPECT_EQ(t.link.FirstRecord(), s.first);
        EXPECT_EQ(t.link.ActiveRecord(), s.active);
        EXPECT_EQ(t.link.RecordCount(), 3);
    }
}

TEST(DataLink, ActiveRecordReadsAnotherRecordWithoutMovingTheCursor)
{
    Linked t(10, 4);
    t.ds->MoveBy(5); // window 2..5, cursor on the 6th record
    t.link.log.clear();
    int scrolls = 0;
    t.ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    const int old = t.link.ActiveRecord();
    EXPECT_EQ(old, 3);
    QStringList painted;
    for (int row = 0; row < t.link.RecordCount(); ++row) {
        t.link.SetActiveRecord(row);
        painted << t.ds->FieldByName("KOKS_NR")->DisplayText();
    }
    t.link.SetActiveRecord(old);
    EXPECT_EQ(painted.join(','), "3,4,5,6");
    EXPECT_EQ(t.ds->RecNo(), 6);
    EXPECT_EQ(t.Koks(), 6);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(t.Take(), "");
    // Bookmark and record number follow the painted record, as a grid's selection marks need.
    t.link.SetActiveRecord(1);
    const TBookmark painted4 = t.ds->GetBookmark();
    EXPECT_EQ(t.ds->RecNo(), 4);
    t.link.SetActiveRecord(old);
    EXPECT_NE(t.ds->GetBookmark(), painted4);
    t.ds->GotoBookmark(painted4);
    EXPECT_EQ(t.Koks(), 4);
    t.ds->MoveBy(2);
    // A write always goes to the record at the cursor.
    t.link.SetActiveRecord(0);
    t.ds->Edit();
    t.ds->FieldByName("BALKIS_NR")->SetAsInteger(9);
    t.ds->Post();
    EXPECT_EQ(t.ds->FieldByName("KOKS_NR")->AsInteger(), 6);
    EXPECT_EQ(t.ds->FieldByName("BALKIS_NR")->AsInteger(), 9);
}

TEST(DataLink, SmallDataSetFillsPartOfTheWindow)
{
    Linked t(2, 5);
    EXPECT_EQ(t.link.RecordCount(), 2);
    t.ds->Append();
    EXPECT_EQ(t.link.RecordCount(), 3) << "the record being appended has its row";
    EXPECT_EQ(t.link.ActiveRecord(), 2);
    EXPECT_EQ(t.Take(), "editing, changed");
    t.ds->Cancel();
    EXPECT_EQ(t.link.RecordCount(), 2);
    EXPECT_EQ(t.link.ActiveRecord(), 1);
    t.ds->EmptyDataSet();
    EXPECT_EQ(t.link.RecordCount(), 0);
}

TEST(DataLink, AppendAtTheBottomScrollsTheWindow)
{
    Linked t(10, 3);
    t.ds->Last();
    t.link.log.clear();
    t.ds->Append();
    EXPECT_EQ(t.link.FirstRecord(), 8);
    EXPECT_EQ(t.link.ActiveRecord(), 2);
    t.ds->FieldByName("KOKS_NR")->SetAsInteger(11);
    t.ds->Post();
    EXPECT_EQ(t.Take(), "editing, changed, record KOKS_NR, update, browsing, changed");
    EXPECT_EQ(t.link.FirstRecord(), 8);
    EXPECT_EQ(t.link.ActiveRecord(), 2);
    EXPECT_EQ(t.Koks(), 11);
}

TEST(DataLink, NestedDisableControlsNotifyOnceAtTheEnd)
{
    Linked t(5, 3);
    t.ds->DisableControls();
    t.ds->DisableControls();
    EXPECT_TRUE(t.ds->ControlsDisabled());
    t.ds->Next();
    t.ds->Edit();
    t.ds->FieldByName("BALKIS_NR")->SetAsInteger(5);
    t.ds->Post();
    t.ds->SetFilter("KOKS_NR > 1");
    t.ds->SetFiltered(true);
    t.ds->EnableControls();
    EXPECT_TRUE(t.ds->ControlsDisabled());
    EXPECT_EQ(t.Take(), "");
    t.ds->EnableControls();
    EXPECT_FALSE(t.ds->ControlsDisabled());
    EXPECT_EQ(t.Take(), "changed");
    EXPECT_EQ(t.link.RecordCount(), 3);
    t.ds->EnableControls(); // one too many does nothing
    EXPECT_EQ(t.Take(), "");

    // A layout change while disabled is replayed as one.
    t.ds->DisableControls();
    t.ds->FieldByName("SUGA")->SetVisible(false);
    t.ds->Next();
    t.ds->EnableControls();
    EXPECT_EQ(t.Take(), "layout");

    // An edit state left open while disabled is reported as a state change.
    t.ds->DisableControls();
    t.ds->Edit();
    t.ds->EnableControls();
    EXPECT_EQ(t.Take(), "editing, changed");
    t.ds->Cancel();
    EXPECT_EQ(t.Take(), "browsing, changed");
}

TEST(DataLink, BlockReadWalksWithoutNotifications)
{
    Linked t(6, 3);
    t.ds->SetBlockReadSize(10);
    EXPECT_EQ(t.ds->State(), TDataSetState::dsBlockRead);
    EXPECT_EQ(t.source.State(), TDataSetState::dsBlockRead);
    int sum = 0;
    while (!t.ds->Eof()) {
        sum += t.Koks();
        t.ds->Next();
    }
    EXPECT_EQ(sum, 21);
    EXPECT_EQ(t.Take(), "");
    t.ds->SetBlockReadSize(0);
    EXPECT_EQ(t.ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.Take(), "changed");
    EXPECT_EQ(t.link.ActiveRecord(), 2);
    // Editing ends block reading first.
    t.ds->SetBlockReadSize(5);
    t.ds->Edit();
    EXPECT_EQ(t.ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(t.ds->BlockReadSize(), 0);
    t.ds->Cancel();
}

TEST(DataLink, FieldPropertiesAndFocus)
{
    Linked t(3, 3);
    TField* f = t.ds->FieldByName("SUGA");
    f->SetVisible(false);
    f->SetVisible(false);
    f->SetDisplayLabel("Suga");
    f->SetDisplayWidth(12);
    f->SetAlignment(TAlignment::taCenter);
    f->SetDisplayFormat("x");
    f->FocusControl();
    EXPECT_EQ(t.Take(), "layout, layout, layout, changed, changed, focus SUGA");
    EXPECT_EQ(f->DisplayName(), "Suga");
    t.ds->Edit();
    t.link.log.clear();
    t.ds->Cancel();
    EXPECT_EQ(t.Take(), "browsing, changed");
    t.ds->Last();
    t.link.log.clear();
    t.ds->Refresh();
    EXPECT_EQ(t.Take(), "changed");
    EXPECT_EQ(t.ds->RecNo(), 3);
}

TEST(DataLink, CloseOpenAndSourceSwitches)
{
    Linked t(3, 3);
    t.ds->Close();
    EXPECT_FALSE(t.link.Active());
    EXPECT_EQ(t.link.RecordCount(), 0);
    t.ds->Open();
    EXPECT_TRUE(t.link.Active());
    EXPECT_EQ(t.link.RecordCount(), 0) << "closing drops the records";
    AddLog(*t.ds, 1, 1);
    AddLog(*t.ds, 2, 1);
    t.source.SetEnabled(false);
    EXPECT_FALSE(t.link.Active());
    t.ds->Next();
    t.source.SetEnabled(true);
    EXPECT_EQ(t.Take(), "inactive, active, editing, changed, record KOKS_NR, record BALKIS_NR, update, browsing, changed, editing, changed, record KOKS_NR, record BALKIS_NR, update, browsing, changed, inactive, active");
    EXPECT_EQ(t.source.State(), TDataSetState::dsBrowse);
    // AutoEdit puts the dataset into edit state through the link.
    EXPECT_TRUE(t.link.Edit());
    EXPECT_EQ(t.ds->State(), TDataSetState::dsEdit);
    t.ds->Cancel();
    t.source.SetAutoEdit(false);
    EXPECT_FALSE(t.link.Edit());
}

TEST(DestructionNotices, DataSetDiesFirst)
{
    auto ds = MakeLogs();
    AddLog(*ds, 1, 1);
    TDataSource source;
    source.SetDataSet(ds.get());
    RecordingLink link;
    link.SetDataSource(&source);
    std::shared_ptr<TField> kept = ds->FieldPtr(0);
    std::weak_ptr<TField> other = ds->FieldPtr(1);
    bool otherFreed = false;
    ds->Fields(1)->AddFreeNotification([&](TField*) { otherFreed = true; });
    TDataSet* gone = nullptr;
    ds->AddFreeNotification([&](TDataSet* d) { gone = d; });
    TDataSet* raw = ds.get();
    link.log.clear();
    ds.reset();
    EXPECT_EQ(gone, raw);
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(link.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.log.join(", "), "inactive");
    EXPECT_TRUE(otherFreed);
    EXPECT_TRUE(other.expired());
    // A field kept alive elsewhere is detached: it reports no dataset and raises on use.
    EXPECT_EQ(kept->DataSet(), nullptr);
    EXPECT_EQ(kept->Index(), -1);
    EXPECT_THROW(kept->Value(), EDatabaseError);
}

TEST(DestructionNotices, SourceDiesFirstThenLink)
{
    auto ds = MakeLogs();
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(ds.get());
    auto link = std::make_unique<RecordingLink>();
    link->SetDataSource(source.get());
    bool sourceGone = false;
    source->AddFreeNotification([&](TDataSource*) { sourceGone = true; });
    link->log.clear();
    source.reset();
    EXPECT_TRUE(sourceGone);
    EXPECT_EQ(link->DataSource(), nullptr);
    EXPECT_EQ(link->log.join(", "), "inactive");
    link.reset();
    ds->Next(); // nothing left to notify

    // A link that dies first leaves its source.
    TDataSource s2;
    s2.SetDataSet(ds.get());
    {
        RecordingLink l2;
        l2.SetDataSource(&s2);
        EXPECT_EQ(s2.DataLinkCount(), 1);
    }
    EXPECT_EQ(s2.DataLinkCount(), 0);
    ds->Next();
}

} // namespace

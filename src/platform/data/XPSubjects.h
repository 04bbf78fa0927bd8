#pragma once

#include "platform/data/XPInterfacedObject.h"

#include <vector>

// The observer side: keeps the variables through which it holds its subjects and clears
// them (or calls back) when a subject lets it go.
class TXPSubjects : public TXPInterfacedObject, public virtual IXPSubjects {
public:
    explicit TXPSubjects(IXPUnknown* delegator = nullptr);
    ~TXPSubjects() override;

    bool AttachSubjectVar(void* varAddress, IXPUnknown* subject, std::function<void()> clearVar,
                          TXPSubjectCallback callback) override;
    bool DetachSubjectVar(void* varAddress) override;
    void DetachAllSubjects() override;
    void SubjectReleased(IXPSubject* subject, void* context) override;

    int SubjectCount() const { return int(FSubjects.size()); }

protected:
    bool Destroying() const { return FDestroying; }

private:
    struct Entry {
        void* Var;
        IXPSubject* Subject;
        std::function<void()> ClearVar;
        TXPSubjectCallback Callback;
    };
    int IndexOfVar(void* varAddress) const;

    std::vector<Entry> FSubjects;
    bool FDestroying = false;
};

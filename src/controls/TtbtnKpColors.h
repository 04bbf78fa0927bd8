#pragma once

#include <QColor>
#include <array>
#include <functional>

// The ten colours of a tool button. An invalid QColor is "default" (the painter decides);
// only colours given a real value count as assigned.
class TtbtnKpColors {
public:
    enum Entry { Default, DefaultText, Normal, NormalText, Hot, HotText, Pressed, PressedText,
                 Disabled, DisabledText, EntryCount };

    TtbtnKpColors() = default;
    TtbtnKpColors(const TtbtnKpColors&) = delete;
    TtbtnKpColors& operator=(const TtbtnKpColors&) = delete;

    QColor Color(Entry AEntry) const { return FColors.at(AEntry); }
    bool IsAssigned(Entry AEntry) const { return (FAssigned & (1u << AEntry)) != 0; }
    bool AnyAssigned() const { return FAssigned != 0; }
    unsigned AssignedColors() const { return FAssigned; }
    // An invalid or fully transparent colour (no colour) goes back to default and out of
    // the assigned set; any other new value is stored and assigned.
    void SetColor(Entry AEntry, const QColor& AValue);
    // Copies the colours and the assigned set.
    void Assign(const TtbtnKpColors& ASource);

    // Called after every change, so the owner can repaint.
    std::function<void()> OnChanged;

private:
    void Changed();

    std::array<QColor, EntryCount> FColors {};
    unsigned FAssigned = 0;
};

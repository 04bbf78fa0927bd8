#pragma once

#include "controls/ButtonTypes.h"
#include "controls/KpButtonPainter.h"

#include <QString>
#include <functional>

// Chooses how a control's face is painted: a kind and, optionally, a skin by name.
class TcxLookAndFeel {
public:
    TcxLookAndFeel() = default;
    TcxLookAndFeel(const TcxLookAndFeel&) = delete;
    TcxLookAndFeel& operator=(const TcxLookAndFeel&) = delete;

    TcxLookAndFeelKind Kind() const { return FKind; }
    void SetKind(TcxLookAndFeelKind AValue);
    const QString& SkinName() const { return FSkinName; }
    void SetSkinName(const QString& AValue);
    // The painter of the current kind.
    const TKpButtonPainter& Painter() const { return FPainter; }

    // Called after every change.
    std::function<void()> OnChanged;

private:
    void Changed();

    TcxLookAndFeelKind FKind = TcxLookAndFeelKind::lfStandard;
    QString FSkinName;
    TKpButtonPainter FPainter { TcxLookAndFeelKind::lfStandard };
};

#pragma once

#include "platform/data/DBTypes.h"

#include <QColor>
#include <QFont>
#include <QString>

class TEkColumn;

// Title of a grid column: caption, colour, alignment and font, each taken from the column's
// field or grid until it is written.
class TEkColumnTitle {
public:
    explicit TEkColumnTitle(TEkColumn* Column);
    virtual ~TEkColumnTitle();
    TEkColumnTitle(const TEkColumnTitle&) = delete;
    TEkColumnTitle& operator=(const TEkColumnTitle&) = delete;

    TEkColumn* Column() const { return FColumn; }

    // Copies the attributes assigned in the source, through the writers.
    virtual void Assign(const TEkColumnTitle& Source);

    TAlignment Alignment() const;
    void SetAlignment(TAlignment Value);
    QString Caption() const;
    virtual void SetCaption(const QString& Value);
    QColor Color() const;
    void SetColor(const QColor& Value);
    QFont Font() const;
    void SetFont(const QFont& Value);

    TAlignment DefaultAlignment() const { return TAlignment::taLeftJustify; }
    QColor DefaultColor() const;
    QFont DefaultFont() const;
    QString DefaultCaption() const;

    virtual void RestoreDefaults();

    // Whether each attribute would be written to a saved layout.
    bool IsAlignmentStored() const;
    bool IsCaptionStored() const;
    bool IsColorStored() const;
    bool IsFontStored() const;

    // Reading a saved layout: the caption as stored, bypassing what a derived title does.
    void SetOwnCaptionForLoad(const QString& Value) { SetOwnCaption(Value); }

protected:
    // Stores the caption as the title's own and sends the change notice.
    void SetOwnCaption(const QString& Value);

private:
    TEkColumn* FColumn;
    QString FCaption;
    QFont FFont;
    QColor FColor;
    TAlignment FAlignment = TAlignment::taLeftJustify;
};

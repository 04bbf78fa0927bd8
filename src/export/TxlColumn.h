#pragma once

#include "export/TFileFieldDictionary.h"
#include "export/TxlAggregate.h"
#include "platform/data/DBTypes.h"

#include <QString>
#include <QStringList>

class TDataSet;
class TField;
class TxlColumns;

// One exported column: its field, heading, width, alignment, format and aggregate.
class TxlColumn
{
public:
    static constexpr quint32 clNone = 0x1FFFFFFF;

    explicit TxlColumn(TxlColumns* collection);
    ~TxlColumn();
    TxlColumn(const TxlColumn&) = delete;
    TxlColumn& operator=(const TxlColumn&) = delete;

    TxlColumns* Collection() const { return FCollection; }
    int Index() const;

    // The field named DataField in DataSet, looked up on first read and kept while it lives
    // and while DataSet and DataField stay as they are; nullptr when there is none.
    TField* Field();

    TxlAggregate Aggregate() const { return FAggregate; }
    void SetAggregate(TxlAggregate v) { FAggregate = v; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* v);
    const QString& DataField() const { return FDataField; }
    // Kept in upper case.
    void SetDataField(const QString& v);
    const QString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString& v) { FDisplayFormat = v; }
    const QString& DisplayLabel() const { return FDisplayLabel; }
    void SetDisplayLabel(const QString& v) { FDisplayLabel = v; }
    qint32 DisplayWidth() const { return FDisplayWidth; }
    void SetDisplayWidth(qint32 v) { FDisplayWidth = v; }
    TAlignment LabelAlignment() const { return FLabelAlignment; }
    void SetLabelAlignment(TAlignment v) { FLabelAlignment = v; }
    // A colour as $00BBGGRR (system colours with the top bit set); clNone means none.
    quint32 CellColor() const { return FCellColor; }
    void SetCellColor(quint32 v) { FCellColor = v; }
    qint32 CaptionOrientation() const { return FCaptionOrientation; }
    void SetCaptionOrientation(qint32 v) { FCaptionOrientation = v; }
    const QString& Comment() const { return FComment; }
    void SetComment(const QString& v) { FComment = v; }
    TFileFieldDictionary& Dictionary() { return FDictionary; }
    const TFileFieldDictionary& Dictionary() const { return FDictionary; }
    QStringList& CommentLegend() { return FCommentLegend; }
    const QStringList& CommentLegend() const { return FCommentLegend; }

    qint32 DisplayFormatID = 0;
    qint32 DisplayFormatSaani = 0;
    qint32 DisplayFormatU = 0;

    // DisplayLabel, else DataField, else the class name.
    QString GetDisplayName() const;
    // Copies everything but the orientation and the three format numbers.
    void Assign(const TxlColumn& source);

private:
    void UpdateFromField();
    void ForgetField();
    void ForgetDataSet();

    TxlColumns* FCollection;
    TField* FField = nullptr;
    int FFieldNotice = -1;
    TxlAggregate FAggregate = TxlAggregate::xlaNone;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TDataSet* FDataSet = nullptr;
    int FDataSetNotice = -1;
    QString FDataField;
    QString FDisplayFormat;
    QString FDisplayLabel;
    qint32 FDisplayWidth = -1;
    TAlignment FLabelAlignment = TAlignment::taLeftJustify;
    quint32 FCellColor = clNone;
    qint32 FCaptionOrientation = 0;
    QString FComment;
    TFileFieldDictionary FDictionary;
    QStringList FCommentLegend;
};

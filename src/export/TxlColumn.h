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

    TxlColumns* Collection() const { return m_collection; }
    int Index() const;

    // The field named DataField in DataSet, looked up on first read and kept while it lives
    // and while DataSet and DataField stay as they are; nullptr when there is none.
    TField* Field();

    TxlAggregate Aggregate() const { return m_aggregate; }
    void SetAggregate(TxlAggregate v) { m_aggregate = v; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment v) { m_alignment = v; }
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* v);
    const QString& DataField() const { return m_dataField; }
    // Kept in upper case.
    void SetDataField(const QString& v);
    const QString& DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString& v) { m_displayFormat = v; }
    const QString& DisplayLabel() const { return m_displayLabel; }
    void SetDisplayLabel(const QString& v) { m_displayLabel = v; }
    qint32 DisplayWidth() const { return m_displayWidth; }
    void SetDisplayWidth(qint32 v) { m_displayWidth = v; }
    TAlignment LabelAlignment() const { return m_labelAlignment; }
    void SetLabelAlignment(TAlignment v) { m_labelAlignment = v; }
    // A colour as $00BBGGRR (system colours with the top bit set); clNone means none.
    quint32 CellColor() const { return m_cellColor; }
    void SetCellColor(quint32 v) { m_cellColor = v; }
    qint32 CaptionOrientation() const { return m_captionOrientation; }
    void SetCaptionOrientation(qint32 v) { m_captionOrientation = v; }
    const QString& Comment() const { return m_comment; }
    void SetComment(const QString& v) { m_comment = v; }
    TFileFieldDictionary& Dictionary() { return m_dictionary; }
    const TFileFieldDictionary& Dictionary() const { return m_dictionary; }
    QStringList& CommentLegend() { return m_commentLegend; }
    const QStringList& CommentLegend() const { return m_commentLegend; }

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

    TxlColumns* m_collection;
    TField* m_field = nullptr;
    int m_fieldNotice = -1;
    TxlAggregate m_aggregate = TxlAggregate::xlaNone;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    TDataSet* m_dataSet = nullptr;
    int m_dataSetNotice = -1;
    QString m_dataField;
    QString m_displayFormat;
    QString m_displayLabel;
    qint32 m_displayWidth = -1;
    TAlignment m_labelAlignment = TAlignment::taLeftJustify;
    quint32 m_cellColor = clNone;
    qint32 m_captionOrientation = 0;
    QString m_comment;
    TFileFieldDictionary m_dictionary;
    QStringList m_commentLegend;
};

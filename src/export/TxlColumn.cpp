#include "export/TxlColumn.h"

#include "export/TDocumentExportBase.h"
#include "export/TxlColumns.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"

TxlColumn::TxlColumn(TxlColumns* collection) : m_collection(collection) { }

TxlColumn::~TxlColumn()
{
    ForgetField();
    ForgetDataSet();
}

int TxlColumn::Index() const
{
    return m_collection ? m_collection->IndexOf(this) : -1;
}

void TxlColumn::ForgetField()
{
    if (m_field && m_fieldNotice >= 0)
        m_field->RemoveFreeNotification(m_fieldNotice);
    m_field = nullptr;
    m_fieldNotice = -1;
}

void TxlColumn::ForgetDataSet()
{
    if (m_dataSet && m_dataSetNotice >= 0)
        m_dataSet->RemoveFreeNotification(m_dataSetNotice);
    m_dataSet = nullptr;
    m_dataSetNotice = -1;
}

TField* TxlColumn::Field()
{
    if (!m_field && m_dataSet && !m_dataField.isEmpty()) {
        m_field = m_dataSet->FindField(m_dataField);
        if (m_field)
            m_fieldNotice = m_field->AddFreeNotification([this](TField*) {
                m_field = nullptr;
                m_fieldNotice = -1;
            });
    }
    return m_field;
}

void TxlColumn::SetDataSet(TDataSet* v)
{
    if (v == m_dataSet)
        return;
    ForgetField();
    ForgetDataSet();
    m_dataSet = v;
    if (m_dataSet)
        m_dataSetNotice = m_dataSet->AddFreeNotification([this](TDataSet*) {
            // Our field dies with the dataset; neither may be touched any more.
            m_field = nullptr;
            m_fieldNotice = -1;
            m_dataSet = nullptr;
            m_dataSetNotice = -1;
        });
    UpdateFromField();
}

void TxlColumn::SetDataField(const QString& v)
{
    const QString upper = v.toUpper();
    if (upper == m_dataField)
        return;
    ForgetField();
    m_dataField = upper;
    UpdateFromField();
}

void TxlColumn::UpdateFromField()
{
    if (!m_dataSet || m_dataField.isEmpty())
        return;
    TField* f = m_dataSet->FindField(m_dataField);
    if (!f)
        return;
    m_alignment = f->Alignment();
    m_displayLabel = f->DisplayLabel();
    m_displayWidth = f->DisplayWidth();
    const TFieldType t = f->DataType();
    if (IsNumericFieldType(t) || t == TFieldType::ftDate || t == TFieldType::ftTime
        || t == TFieldType::ftDateTime)
        m_displayFormat = f->DisplayFormat();
}

QString TxlColumn::GetDisplayName() const
{
    if (!m_displayLabel.isEmpty())
        return m_displayLabel;
    if (!m_dataField.isEmpty())
        return m_dataField;
    return QStringLiteral("TxlColumn");
}

void TxlColumn::Assign(const TxlColumn& source)
{
    if (&source == this)
        return;
    m_aggregate = source.m_aggregate;
    m_alignment = source.m_alignment;
    SetDataSet(source.m_dataSet);
    SetDataField(source.m_dataField);
    m_displayFormat = source.m_displayFormat;
    m_displayLabel = source.m_displayLabel;
    m_displayWidth = source.m_displayWidth;
    m_labelAlignment = source.m_labelAlignment;
    m_cellColor = source.m_cellColor;
    m_comment = source.m_comment;
    m_dictionary.Assign(source.m_dictionary);
    m_commentLegend = source.m_commentLegend;
}

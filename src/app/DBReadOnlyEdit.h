#pragma once

#include <QLineEdit>
#include <QString>

#include <memory>

class TDataSource;
class TField;
class TDBReadOnlyEditLink;

// A read-only edit that shows one field of its data source's current record (its display
// text), and nothing while the source has no active dataset or the dataset lacks the field.
class TDBReadOnlyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDBReadOnlyEdit(QWidget* parent = nullptr);
    ~TDBReadOnlyEdit() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    const QString& DataField() const { return FDataField; }
    void SetDataField(const QString& value);

    // The bound field of the current record; nullptr when there is none.
    TField* Field() const;
    // Reads the field again.
    void UpdateText();

private:
    std::unique_ptr<TDBReadOnlyEditLink> FDataLink;
    QString FDataField;
};

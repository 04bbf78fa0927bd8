#pragma once

#include "platform/sheet/Worksheet.h"

#include <QString>
#include <memory>
#include <vector>

// An in-memory workbook: sheets of cells with values, fonts, borders, fills, number formats
// and comments, saved as a binary (.xls) or Office Open XML (.xlsx) workbook.
class Workbook
{
public:
    // File format codes of SaveAs.
    static constexpr int FormatXls95 = 1;
    static constexpr int FormatXls = 2;
    static constexpr int FormatXlsx = 9;

    Workbook() = default;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    int SheetCount() const { return int(FSheets.size()); }
    // The sheet at a position from 1; throws ESheetError outside.
    Worksheet& Sheet(int index) const;
    // A new sheet at the end, named "Sheet" and its number.
    Worksheet& AddSheet();
    int ActiveSheetIndex() const { return FActive; }
    void Activate(const Worksheet& sheet);
    int IndexOf(const Worksheet& sheet) const;

    // Writes the workbook; formats 1 and 2 give a binary workbook, 9 Office Open XML.
    // Throws ESheetError for other formats and for a file that cannot be written.
    void SaveAs(const QString& fileName, int format) const;

    // A name no other sheet has (letters compared without case), at most 31 characters.
    QString UniqueName(const QString& wanted, const Worksheet* self) const;

private:
    std::vector<std::unique_ptr<Worksheet>> FSheets;
    int FActive = 1;
};

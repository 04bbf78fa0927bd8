#pragma once

#include <QString>

// What a cell holds. Dates are days since 1899-12-30, as the program's DateTime keeps them.
struct SheetValue
{
    enum class Kind { Empty, Text, Number, Date, Boolean, Formula };

    Kind kind = Kind::Empty;
    QString text;      // Text, or a Formula beginning with "="
    double number = 0; // Number, Date (days) or Boolean (0/1)

    static SheetValue Empty() { return {}; }
    static SheetValue Text(const QString& s) { return {Kind::Text, s, 0}; }
    static SheetValue Number(double v) { return {Kind::Number, QString(), v}; }
    static SheetValue Date(double days) { return {Kind::Date, QString(), days}; }
    static SheetValue Boolean(bool b) { return {Kind::Boolean, QString(), b ? 1.0 : 0.0}; }
    static SheetValue Formula(const QString& f) { return {Kind::Formula, f, 0}; }

    bool IsEmpty() const { return kind == Kind::Empty; }
};

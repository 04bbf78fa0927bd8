#pragma once

// Rows of the working tables a StanForD 2010 reader keeps for itself while it reads a message:
// species groups with their bark functions, products with their classes and matrixes, and
// operators. Member names are the field names; an empty std::optional is an empty field.

#include <QString>

#include <cstdint>
#include <optional>

// FcdsSugas, keyed by SUGA_KEY.
struct TSugaRow {
    QString SUGA_KEY;
    QString SUGA;
    std::optional<int32_t> KOKU_SKAITS;
    QString BARKFUNCTION;
    std::optional<double> SWEACCOCONSTANT;
    std::optional<double> SWEACCOFACTORB;
    std::optional<int32_t> DBHHEIGHT;
    std::optional<double> LATITUDE;
};

// FcdsSugBarkDeduct.
struct TSugBarkDeductRow {
    QString SUGA_KEY;
    std::optional<int32_t> DISTANCECLLOWLIM;
    std::optional<int32_t> DBHCLLOWLIM;
    std::optional<int32_t> LOWERDIAMLIM;
    std::optional<double> BARKDEDUCTION;
};

// FcdsSugGerDistLimit.
struct TSugGerDistLimitRow {
    QString SUGA_KEY;
    std::optional<int32_t> DISTANCECLLOWLIM;
};

// FcdsSugGerDBH.
struct TSugGerDBHRow {
    QString SUGA_KEY;
    std::optional<int32_t> DBHCLLOWLIM;
};

// FcdsSortList, keyed by SORT_KEY.
struct TSortListRow {
    QString SORT_KEY;
    QString SORTIMENTS;
    QString PRODUCTINFO;
    std::optional<int16_t> UNCLASSIFIED;
    std::optional<int16_t> DISTR_ALLOWED;
    std::optional<int16_t> DISTR_WITHINPROD;
    QString DISTR_CAT;
    std::optional<double> DISTR_MAXDEV;
    std::optional<int32_t> DIAM_MCLASS;
    std::optional<int16_t> DIAM_UBARK;
    std::optional<int32_t> DIAM_MBUTT;
    std::optional<int32_t> DIAM_MTOP;
    std::optional<int32_t> LENGTHCLASSMAX;
    QString VOL_DIAMCAT;
    std::optional<int32_t> VOL_DIAMPOS;
    QString VOL_LENCAT;
    std::optional<int32_t> CUT_DOWN;
    std::optional<int32_t> CUT_UP;
    std::optional<int16_t> MANUALFREEBUCK;
    std::optional<int16_t> TOPLOGFREEBUCK;
    QString PRODUCTID;
    QString SPECIESGROUPKEY;
    std::optional<int16_t> VOLUMEUNDERBARK;
};

// FcdsSortGar, keyed by SORT_KEY;LOWER_LIMIT.
struct TSortGarRow {
    QString SORT_KEY;
    std::optional<int32_t> LOWER_LIMIT;
};

// FcdsSortMatrica.
struct TSortMatricaRow {
    QString SORT_KEY;
    std::optional<int32_t> DIAM_LOWER_LIMIT;
    std::optional<int32_t> LENGTH_LOWER_LIMIT;
    std::optional<int32_t> PRICE;
    std::optional<int32_t> DISTRIBUTION;
    QString SPECIESGROUPKEY;
};

// FcdsSortLengthClass.
struct TSortLengthClassRow {
    QString SORT_KEY;
    std::optional<int32_t> LENGTH_LOWER_LIMIT;
    std::optional<int32_t> LENGTHCLASSMARGIN;
};

// FcdsOperat.
struct TOperatRow {
    QString OPERATORKEY;
    QString OPERATORUSERID;
    QString FIRSTNAME;
    QString LASTNAME;
};

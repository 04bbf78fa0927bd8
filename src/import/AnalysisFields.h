#pragma once

// The field names of the analysis datasets (the members of the rows in AnalysisModel.h carry
// the same names; the column tables in AnalysisColumns.cpp tie the two together).

#include <QLatin1String>

namespace AnalysisField {
// cdsHeader
inline constexpr QLatin1String HRV_APJOMS_ALL{"HRV_APJOMS_ALL"};
inline constexpr QLatin1String DAST_APJOMS_ALL{"DAST_APJOMS_ALL"};
inline constexpr QLatin1String PROCENTS_ALL{"PROCENTS_ALL"};
inline constexpr QLatin1String HRV_APJOMS_OP{"HRV_APJOMS_OP"};
inline constexpr QLatin1String DAST_APJOMS_OP{"DAST_APJOMS_OP"};
inline constexpr QLatin1String PROCENTS_OP{"PROCENTS_OP"};
inline constexpr QLatin1String HRV_APJOMS_RAND{"HRV_APJOMS_RAND"};
inline constexpr QLatin1String DAST_APJOMS_RAND{"DAST_APJOMS_RAND"};
inline constexpr QLatin1String PROCENTS_RAND{"PROCENTS_RAND"};
inline constexpr QLatin1String DATUMS_PARB{"DATUMS_PARB"};
inline constexpr QLatin1String HRV_NUMURS{"HRV_NUMURS"};
inline constexpr QLatin1String HRV_VIN{"HRV_VIN"};
inline constexpr QLatin1String FILE_NAME{"FILE_NAME"};
inline constexpr QLatin1String DATUMS_PARB_SAK{"DATUMS_PARB_SAK"};
inline constexpr QLatin1String HAS_EMPTY_DATE{"HAS_EMPTY_DATE"};
inline constexpr QLatin1String DIENU_SKAITS{"DIENU_SKAITS"};
inline constexpr QLatin1String IR_PARRAVUMI{"IR_PARRAVUMI"};
inline constexpr QLatin1String DIAM_NOVIRZE6MM_ALL{"DIAM_NOVIRZE6MM_ALL"};
inline constexpr QLatin1String DIAM_NOVIRZE6MM_OP{"DIAM_NOVIRZE6MM_OP"};
inline constexpr QLatin1String DIAM_NOVIRZE6MM_RAND{"DIAM_NOVIRZE6MM_RAND"};
// cdsVar
inline constexpr QLatin1String BLOCK_NR{"BLOCK_NR"};
inline constexpr QLatin1String VAR_NR{"VAR_NR"};
inline constexpr QLatin1String VAR_T{"VAR_T"};
inline constexpr QLatin1String VERTIBA{"VERTIBA"};
// cdsKoki, cdsBalki, cdsMerijumi
inline constexpr QLatin1String KOKS_NR{"KOKS_NR"};
inline constexpr QLatin1String BALKU_SK{"BALKU_SK"};
inline constexpr QLatin1String IZV_VEIDS{"IZV_VEIDS"};
inline constexpr QLatin1String HRV_APJOMS{"HRV_APJOMS"};
inline constexpr QLatin1String DAST_APJOMS{"DAST_APJOMS"};
inline constexpr QLatin1String DERIGS{"DERIGS"};
inline constexpr QLatin1String SUGA{"SUGA"};
inline constexpr QLatin1String SUGA_TXT{"SUGA_TXT"};
inline constexpr QLatin1String CIRSMA_NR{"CIRSMA_NR"};
inline constexpr QLatin1String BALKIS_NR{"BALKIS_NR"};
inline constexpr QLatin1String SORT_NR{"SORT_NR"};
inline constexpr QLatin1String HRV_GARUMS{"HRV_GARUMS"};
inline constexpr QLatin1String DAST_GARUMS{"DAST_GARUMS"};
inline constexpr QLatin1String DAST_TIEVG{"DAST_TIEVG"};
inline constexpr QLatin1String HRV_TIEVG{"HRV_TIEVG"};
inline constexpr QLatin1String MER_SKAITS{"MER_SKAITS"};
inline constexpr QLatin1String MERIJUMS_NR{"MERIJUMS_NR"};
inline constexpr QLatin1String MERVIETA{"MERVIETA"};
inline constexpr QLatin1String MERVIETA_IEP_HRV{"MERVIETA_IEP_HRV"};
inline constexpr QLatin1String MERVIETA_IEP_DAST{"MERVIETA_IEP_DAST"};
inline constexpr QLatin1String HRV_DIAMETRS{"HRV_DIAMETRS"};
inline constexpr QLatin1String DAST_DIAMETRS{"DAST_DIAMETRS"};
inline constexpr QLatin1String PIEZIMES{"PIEZIMES"};
inline constexpr QLatin1String NOVIRZE_DIAMETRS{"NOVIRZE_DIAMETRS"};
inline constexpr QLatin1String NOVIRZE_DIAM_LIDZ{"NOVIRZE_DIAM_LIDZ"};
inline constexpr QLatin1String INTERVALS_DIAMETRS{"INTERVALS_DIAMETRS"};
inline constexpr QLatin1String DERIGS_DIAM_NOV{"DERIGS_DIAM_NOV"};
inline constexpr QLatin1String MERIJ_VEIDS{"MERIJ_VEIDS"};
// cdsKokuSk
inline constexpr QLatin1String KOKU_SK_DER{"KOKU_SK_DER"};
inline constexpr QLatin1String KOKU_SK_NEDER{"KOKU_SK_NEDER"};
inline constexpr QLatin1String BALKU_SK_DER{"BALKU_SK_DER"};
inline constexpr QLatin1String BALKU_SK_NEDER{"BALKU_SK_NEDER"};
inline constexpr QLatin1String KOKU_SK_DER_SUGA{"KOKU_SK_DER_SUGA"};
inline constexpr QLatin1String BALKU_SK_DER_SUGA{"BALKU_SK_DER_SUGA"};
inline constexpr QLatin1String MERIJ_NEDER_DIAM{"MERIJ_NEDER_DIAM"};
// cdsDiamNovirzes
inline constexpr QLatin1String LIDZ_2{"LIDZ_2"};
inline constexpr QLatin1String LIDZ_2_PRCNT{"LIDZ_2_PRCNT"};
inline constexpr QLatin1String LIDZ_4{"LIDZ_4"};
inline constexpr QLatin1String LIDZ_4_PRCNT{"LIDZ_4_PRCNT"};
inline constexpr QLatin1String LIDZ_6{"LIDZ_6"};
inline constexpr QLatin1String LIDZ_6_PRCNT{"LIDZ_6_PRCNT"};
inline constexpr QLatin1String CITS{"CITS"};
inline constexpr QLatin1String CITS_PRCNT{"CITS_PRCNT"};
inline constexpr QLatin1String KOPA{"KOPA"};
// cdsCirsmas
inline constexpr QLatin1String OBJECTUSERID{"OBJECTUSERID"};
} // namespace AnalysisField

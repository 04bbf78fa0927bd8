#pragma once

// Small hand-made analysis models for the engine and loader tests.

#include "import/AnalysisModel.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

struct TModelBuilder {
    TAnalysisModel m;

    TModelBuilder() { m.Header.HAS_EMPTY_DATE = 0; m.Header.DIENU_SKAITS = 0; m.Header.IR_PARRAVUMI = 0; }

    size_t Tree(int k, const QString& suga = QStringLiteral("EGLE"), std::optional<int16_t> izv = 2,
                std::optional<double> date = 45000.0)
    {
        TTreeRow t;
        t.KOKS_NR = k;
        t.SUGA = suga;
        t.IZV_VEIDS = izv;
        t.DATUMS_PARB = date;
        m.Trees.push_back(t);
        return m.Trees.size() - 1;
    }

    // A log with equal harvester and caliper lengths and top diameters.
    size_t Log(int k, int b, std::optional<int32_t> len, std::optional<int32_t> top, std::optional<int16_t> merSk)
    {
        TLogRow l;
        l.KOKS_NR = k;
        l.BALKIS_NR = b;
        l.HRV_GARUMS = len;
        l.DAST_GARUMS = len;
        l.HRV_TIEVG = top;
        l.DAST_TIEVG = top;
        l.MER_SKAITS = merSk;
        m.Logs.push_back(l);
        return m.Logs.size() - 1;
    }

    size_t Meas(int k, int b, int nr, std::optional<int32_t> pos, std::optional<int32_t> hrv,
                std::optional<int32_t> dast)
    {
        TMeasRow r;
        r.KOKS_NR = k;
        r.BALKIS_NR = b;
        r.MERIJUMS_NR = nr;
        r.MERVIETA = pos;
        r.HRV_DIAMETRS = hrv;
        r.DAST_DIAMETRS = dast;
        m.Meas.push_back(r);
        return m.Meas.size() - 1;
    }

    // A usable log of 400 cm with three points at 100, 200, 300 cm; log b has the top diameter
    // 200 - 70 (b - 1) mm and points 70, 50, 30 mm thicker (caliper = harvester + dev), so a tree's
    // logs taper from one to the next.
    size_t GoodLog(int k, int b, int dev = 0)
    {
        const int top = 200 - 70 * (b - 1);
        const size_t l = Log(k, b, 400, top, 3);
        Meas(k, b, 1, 100, top + 70, top + 70 + dev);
        Meas(k, b, 2, 200, top + 50, top + 50 + dev);
        Meas(k, b, 3, 300, top + 30, top + 30 + dev);
        return l;
    }

    // The rows of one log, in number order (synthetic rows included).
    std::vector<const TMeasRow*> RowsOf(int k, int b) const
    {
        std::vector<const TMeasRow*> rows;
        for (const TMeasRow& r : m.Meas)
            if (r.KOKS_NR == k && r.BALKIS_NR == b)
                rows.push_back(&r);
        std::stable_sort(rows.begin(), rows.end(), [](const TMeasRow* a, const TMeasRow* b) {
            return a->MERIJUMS_NR.value_or(0) < b->MERIJUMS_NR.value_or(0);
        });
        return rows;
    }

    const TMeasRow& Row(int k, int b, int nr) const
    {
        for (const TMeasRow& r : m.Meas)
            if (r.KOKS_NR == k && r.BALKIS_NR == b && r.MERIJUMS_NR == nr)
                return r;
        throw std::runtime_error("no such row");
    }
};

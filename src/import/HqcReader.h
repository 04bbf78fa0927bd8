#pragma once

// Reader of StanForD 2010 harvesting quality control files (.hqc): the species, objects,
// stems, logs and control diameters of every "ControlValues" element into the loader's trees,
// logs, measurements and objects, with the harvester's diameter beside the caliper's at each
// measuring position.

#include "import/AnalysisModel.h"
#include "import/HqcDiamTable.h"
#include "import/StanForD2010Reader.h"

#include <pugixml.hpp>

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class TCSStanDForFileHQC : public TCSStanDForFile {
public:
    explicit TCSStanDForFileHQC(void* aOwner);
    ~TCSStanDForFileHQC() override;

    // The loader's trees, logs, measurements and objects; kept, not owned.
    void AssignDataSets(std::vector<TTreeRow>* dsKoki, std::vector<TLogRow>* dsBalki,
                        TLargeTable<TMeasRow>* dsMerijumi, std::vector<TCirsmaRow>* dsCirsmas);
    // Reads the species, objects, stems, logs and measurements under the machine element.
    void ParseControlValues(const pugi::xml_node& iMachineNode);

    // Reads a whole .hqc document held in memory into the model (header, trees, logs,
    // measurements, objects); ImportHQCFile reads the file and calls this.
    static void ImportDocument(QByteArray bytes, const QString& sFileName, TAnalysisModel& model);

    const THqcDiamTable& cdsMerMachine() const { return FcdsMerMachine; }
    const THqcDiamTable& cdsMerOperat() const { return FcdsMerOperat; }
    bool UseSugaByName() const { return FUseSugaByName; }

protected:
    void CreateDataSets() override;
    void EmptyDataSets() override;
    void FreeDataSets() override;

private:
    void ReserveForStems(const pugi::xml_node& iMachineNode);
    void ReadControlValues(const pugi::xml_node& elControlValues);
    void ReadStem(const pugi::xml_node& elStem, int32_t iKoksNr);
    void ReadLog(const pugi::xml_node& elLog, TTreeRow& tree);
    QString SpeciesNameOfKey(const QString& sKey);

    std::vector<TTreeRow>* FcdsKoki = nullptr;
    std::vector<TLogRow>* FcdsBalki = nullptr;
    TLargeTable<TMeasRow>* FcdsMerijumi = nullptr;
    std::vector<TCirsmaRow>* FcdsCirsmas = nullptr;
    THqcDiamTable FcdsMerMachine;
    THqcDiamTable FcdsMerOperat;
    bool FUseSugaByName = false;
    // How many species of the list have been looked at for "PRIEDE" and "EGLE", and whether one
    // of them was either.
    size_t FSugasScanned = 0;
    bool FHasPriedeOrEgle = false;
    // Stems are numbered across all "ControlValues" elements, so that no two share a number.
    int32_t FLastKoksNr = 0;
    // The control diameters of the measurement being read and the points of the log being read,
    // kept for the next one.
    std::vector<pugi::xml_node> FDiameters;
    std::vector<const THqcDiamRow*> FMachinePoints;
    std::vector<const THqcDiamRow*> FOperatPoints;
};

#pragma once

// The header values of a StanForD 2010 message, as its reader keeps them. Each part clears
// itself; the whole record clears its five parts.


#include <QString>

// Units of a production message (attributes of the root element).
struct TcsStandForDUnits {
    QString WeightUnit;
    QString DiameterUnit;
    QString VolumeUnit;
    QString LengthUnit;
    QString AreaUnit;
    void Clear() { *this = TcsStandForDUnits(); }
};

// The object (harvesting site) of a production or monitoring message.
struct TcsStandForDObject {
    QString CirsmaID;
    QString CirsmaName;
    QString Ligums;
    void Clear() { *this = TcsStandForDObject(); }
};

// The message's creation date, as written and as a date-time.
struct TcsStandForFileInfo {
    QString sFileDate;
    double dFileDate = 0;
    void Clear() { *this = TcsStandForFileInfo(); }
};

// The machine that wrote the message.
struct TcsStandForDMachine {
    QString MachineKey;
    QString RegNr;
    QString VINnr; // never filled: no StanForD 2010 element carries it
    QString RegId;
    QString MachineBaseManufacturer;
    QString MachineBaseModel;
    QString MachineHeadManufacturer;
    QString MachineHeadModel;
    void Clear() { *this = TcsStandForDMachine(); }
};

// The logging contractor of a production or monitoring message.
struct TcsStandForContractor {
    QString Nosauk;
    QString Kods;
    QString VardsUzvards;
    QString Addrese;
    QString Epasts;
    QString Tel;
    void Clear() { *this = TcsStandForContractor(); }
};

struct TcsStanFordRec {
    TcsStandForDUnits Units;
    TcsStandForDObject CirsmaInfo;
    TcsStandForFileInfo FileInfo;
    TcsStandForDMachine Machine;
    TcsStandForContractor LoggingContractor;
    void Clear()
    {
        Units.Clear();
        CirsmaInfo.Clear();
        FileInfo.Clear();
        Machine.Clear();
        LoggingContractor.Clear();
    }
};

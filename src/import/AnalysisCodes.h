#pragma once

// The coded values the analysis stores in its datasets.

#include <cstdint>

// DERIGS of a tree, log or measurement: why the row is not usable (0: it is).
namespace ValidationCode {
enum : int32_t {
    Usable = 0,
    NoLogLength = 4,
    NoCaliperDiameters = 7,
    TwoRisingMeasurements = 10,
    NoHarvesterPlaces = 13,
    NoTopDiameter = 15,
    TwoMissingMeasurements = 16,
    NoFirstMeasurementOfButtLog = 17,
    FewerThanThreeMeasurements = 18,
    PlaceNearTop = 20,
    NoHarvesterDiameter = 50,
    NoUsableLogsOrVolume = 51,
    SpeciesMismatch = 52,
    NoMeasurements = 55,
};
} // namespace ValidationCode

// IZV_VEIDS of a tree: how it was chosen for control.
namespace TreeSelection {
enum : int16_t {
    Random = 1,
    Operator = 2,
};
} // namespace TreeSelection

// IZV_VEIDS of a count row and of a deviation row: which trees it covers.
namespace SelectionKind {
enum : int16_t {
    All = 0,
    OperatorSelected = 1,
    Random = 2,
};
} // namespace SelectionKind

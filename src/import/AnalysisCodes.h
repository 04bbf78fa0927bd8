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

// MERIJ_VEIDS of a measurement: where the row comes from.
namespace MeasurementKind {
enum : int16_t {
    FromFile = 0,
    SyntheticButt = 1,
    SyntheticTop = 2,
};
} // namespace MeasurementKind

// DERIGS_DIAM_NOV of a measurement: whether its diameter pair counts in the deviation table.
namespace DeviationUse {
enum : int16_t {
    Counted = 0,
    Rejected = 1,
    Synthetic = 2,
};
} // namespace DeviationUse

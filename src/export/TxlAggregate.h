#pragma once

// The aggregate written under an exported column.
enum class TxlAggregate { xlaNone, xlaSum, xlaMin, xlaMax };

#pragma once

// Where a control or panel sits against the edges of its parent.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// Where the button panel puts a control it is given.
enum class TControlPlacement { cpFirstLeft, cpLastLeft, cpFirstRight, cpLastRight };

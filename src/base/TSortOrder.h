#pragma once

enum class TSortOrder { soAscending, soDescending };

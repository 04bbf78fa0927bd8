#pragma once

// The kinds of file a grid exports to.
enum class TExportType { etExcel, etOOXMLSheet, etOOCalc };

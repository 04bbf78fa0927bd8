#pragma once

#include <functional>

class TTreeNode;
class TDataSet;

// Raised by the data-aware tree view for every node it adds.
using TAddNodeEvent = std::function<void(TTreeNode* node, TDataSet* dataSet)>;
